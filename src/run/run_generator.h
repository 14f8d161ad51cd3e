// A whole run, from the banner to "Track finished": dialogue, Settings file, naming, then the
// file itself (header, lead-in silence, the one-second kernel repeated, lead-out silence).
#pragma once

#include <istream>
#include <ostream>
#include <string_view>

#include "run/generator_settings.h"

namespace mpx {

// Runs with the program's own start path; answers come from `in`, messages go to `out`.
// Throws RunError on any failure, after which no output file is left behind.
void run_generator(GeneratorSettings& settings, std::string_view program_path, std::istream& in,
                   std::ostream& out);

}  // namespace mpx
