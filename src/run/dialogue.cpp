#include "run/dialogue.h"

#include <cctype>
#include <cmath>
#include <cstdint>

#include "run/console.h"
#include "run/scanner.h"

namespace mpx {
namespace {

// Far beyond any real use, and well inside the 32-bit level field of the file name, even after
// the round trip through amplitude.
constexpr double max_level_percent = 1e9;

}  // namespace

std::optional<SignalMode> mode_from_letter(char typed) {
  switch (typed) {
    case 'M':
    case 'm':
      return SignalMode::Mono;
    case 'L':
    case 'l':
      return SignalMode::Left;
    case 'R':
    case 'r':
      return SignalMode::Right;
    case 'A':
    case 'a':
      return SignalMode::Antiphase;
    case 'C':
    case 'c':
      return SignalMode::Check;
    default:
      return std::nullopt;
  }
}

double limit_tone_frequency(double entered_hz) {
  double hz = entered_hz;
  if (min_tone_frequency_hz > hz) {
    hz = min_tone_frequency_hz;
  } else if (hz > max_tone_frequency_hz) {
    hz = max_tone_frequency_hz;
  }
  // Whole hertz, fraction dropped: the one-second kernel then holds whole cycles of the tone.
  return static_cast<double>(static_cast<std::int32_t>(hz));
}

void configure_signal(GeneratorSettings& settings, std::istream& in, std::ostream& out) {
  load_defaults(settings);
  Scanner scanner(*in.rdbuf());

  print(out, "\n\n Choose M = Mono / L = Left / R = Right / A = Antiphase / C = Check\n");
  out.flush();
  if (const auto typed = scanner.read_char()) {
    const auto mode = mode_from_letter(*typed);
    if (!mode) {
      throw RunError(
          format("mode letter '%c' is not one of M (Mono), L (Left), R (Right), "
                 "A (Antiphase) or C (Check)",
                 *typed));
    }
    settings.mode_number = static_cast<std::int32_t>(*mode);
    settings.mode_letter = static_cast<char>(std::toupper(static_cast<unsigned char>(*typed)));
  }
  print(out, "Chose %c  %ld\n\n", settings.mode_letter, static_cast<long>(settings.mode_number));
  if (is_check_mode(settings)) return;

  prompt(out, "Enter amplitude [percent modulation] => ");
  if (const auto percent = scanner.read_real()) {
    if (!std::isfinite(*percent)) {
      throw RunError(format("amplitude entry %s is not a finite number of percent",
                            non_finite_text(*percent).c_str()));
    }
    if (std::fabs(*percent) > max_level_percent) {
      throw RunError(format("amplitude entry %g percent is out of range (at most %g either way)",
                            *percent, max_level_percent));
    }
    settings.amplitude_percent = *percent;
  }
  settings.amplitude = settings.amplitude_percent / 100.0;
  print(out, "amplitude = %6.4lf wrt FS\n", settings.amplitude);

  prompt(out, "Enter frequency in Hz => ");
  if (const auto hz = scanner.read_real()) {
    if (std::isnan(*hz)) throw RunError("frequency entry nan is not a number of hertz");
    settings.tone_frequency = *hz;
  }
  settings.tone_frequency = limit_tone_frequency(settings.tone_frequency);
  print(out, "Frequency (rounded to Hz) => %7.1lf Hz\n\n", settings.tone_frequency);
}

}  // namespace mpx
