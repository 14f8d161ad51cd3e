#include "run/output_names.h"

#include <cstdint>

#include "run/console.h"

namespace mpx {
namespace {

// The whole-number part, toward zero. Levels and frequencies are range-checked by the dialogue,
// so the value always fits.
long whole(double value) { return static_cast<long>(static_cast<std::int32_t>(value)); }

}  // namespace

void make_output_names(GeneratorSettings& settings, std::ostream& out) {
  if (is_check_mode(settings)) {
    settings.leaf_name = "MPXcalibration.wav";
    settings.full_path = settings.output_directory + "/MPXcalibration.wav";
  } else {
    // The level goes through amplitude and back, so 29 % is named 028 (29 / 100 * 100 < 29).
    const long level = whole(settings.amplitude * 100.0);
    std::string frequency_tag;
    if (settings.tone_frequency > 1000.0) {
      const long kilo = whole(settings.tone_frequency / 1000.0);
      const long rest = whole(settings.tone_frequency) - kilo * 1000;
      frequency_tag = format("%02ldk%03ldHz%03lddB", kilo, rest, level);
      print(out, "\na\n");
    } else {
      frequency_tag = format("%03ldHz%03lddB", whole(settings.tone_frequency), level);
      print(out, "\nb\n");
    }
    // "dB" then "d24bit": every tone file's name holds dBd24bit.
    settings.leaf_name =
        format("MPX_%c%s%c24bit", settings.mode_letter, frequency_tag.c_str(), 'd');
    settings.full_path = settings.output_directory + "/" + settings.leaf_name + ".wav";
    print(out, "\nc\n");
  }
  print(out, "Outfile file leafname => %s\n fullname => %s\n", settings.leaf_name.c_str(),
        settings.full_path.c_str());
}

}  // namespace mpx
