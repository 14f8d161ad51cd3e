#include "run/generator_settings.h"

namespace mpx {

void load_defaults(GeneratorSettings& settings) {
  settings.tone_frequency = 400.0;
  settings.mode_number = static_cast<std::int32_t>(SignalMode::Mono);
  settings.mode_letter = 'M';
  settings.two_pi = two_pi_rounded;
  settings.pilot_frequency = pilot_frequency_hz;
  settings.subcarrier_frequency = subcarrier_frequency_hz;
  settings.time_step = time_step_s;
}

}  // namespace mpx
