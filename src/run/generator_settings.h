// The one record of a run: the operator's choices, the Settings file's fields, the signal
// constants, the paths built during the run and the working values of the synthesis.
#pragma once

#include <cstdint>
#include <string>

#include "constants.h"

namespace mpx {

// The operator's choice of signal, with the number the run sequence branches on.
enum class SignalMode : std::int32_t {
  Mono = 1,
  Left = 2,
  Right = 3,
  Antiphase = 4,
  Check = 10,
};

struct GeneratorSettings {
  // Operator choices (dialogue).
  char mode_letter = 'M';
  std::int32_t mode_number = static_cast<std::int32_t>(SignalMode::Mono);
  double amplitude_percent = 0.0;
  double amplitude = 0.0;  // amplitude_percent / 100, 1.0 = full scale
  double tone_frequency = 400.0;

  // Settings file fields; a field the file does not supply keeps its zero.
  std::string output_directory;
  std::int32_t lead_in_seconds = 0;
  std::int32_t tone_seconds = 0;
  std::int32_t lead_out_seconds = 0;
  double subcarrier_phase_correction = 0.0;      // radians added to the 38 kHz subcarrier
  double subcarrier_amplitude_correction = 0.0;  // factor applied to the 38 kHz subcarrier

  // Signal constants.
  double two_pi = two_pi_rounded;
  double pilot_frequency = pilot_frequency_hz;
  double subcarrier_frequency = subcarrier_frequency_hz;
  double time_step = time_step_s;

  // Built during the run.
  std::string application_directory;
  std::string settings_path;
  std::uint32_t payload_bytes = 0;
  std::string leaf_name;
  std::string full_path;

  // Working value of the synthesis: the running time of the kernel, in seconds.
  double time_accumulator = 0.0;
};

// Puts back the dialogue's starting values (mode M, 400 Hz, no level).
void load_defaults(GeneratorSettings& settings);

// True for the calibration signal, which the run builds instead of the multiplex kernel.
inline bool is_check_mode(const GeneratorSettings& settings) {
  return settings.mode_number >= static_cast<std::int32_t>(SignalMode::Check);
}

}  // namespace mpx
