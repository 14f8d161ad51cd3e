// The operator dialogue: mode letter, then for the tone modes the level and the frequency.
#pragma once

#include <istream>
#include <optional>
#include <ostream>

#include "run/generator_settings.h"

namespace mpx {

// The signal a typed letter stands for (either case), or nothing for a letter outside the table.
std::optional<SignalMode> mode_from_letter(char typed);

// Loads the defaults, then asks on `out` and reads the answers from `in`. An answer that cannot
// be read keeps the value before it; the end of input keeps every remaining default.
// Throws RunError for a letter outside the table and for levels or frequencies that are not
// numbers.
void configure_signal(GeneratorSettings& settings, std::istream& in, std::ostream& out);

// Limits a frequency entry to the whole hertz the kernel can make (1 to 95990 Hz).
double limit_tone_frequency(double entered_hz);

}  // namespace mpx
