// The Settings file beside the program: output directory, three durations in seconds and two
// corrections for the 38 kHz subcarrier, read as white-space separated fields in that order.
#pragma once

#include <istream>
#include <ostream>

#include "run/generator_settings.h"

namespace mpx {

// Reads the six fields from `in` and prints the two messages that show the values in force.
// A field that is missing or cannot be read keeps its zero, and stops every later numeric field.
// Throws RunError for values no file can be made from: a duration that is negative or does not
// fit 32 bits, a total too long for the 32-bit RIFF sizes, or a correction that is not a number.
void read_settings_file(GeneratorSettings& settings, std::istream& in, std::ostream& out);

// Opens settings.settings_path and reads it; throws RunError naming the path if it cannot.
void load_settings_file(GeneratorSettings& settings, std::ostream& out);

}  // namespace mpx
