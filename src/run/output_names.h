// The output file is named after what it holds: mode, tone frequency, level and sample format.
#pragma once

#include <ostream>

#include "run/generator_settings.h"

namespace mpx {

// Sets leaf_name and full_path and prints them.
void make_output_names(GeneratorSettings& settings, std::ostream& out);

}  // namespace mpx
