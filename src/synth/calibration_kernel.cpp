#include "synth/calibration_kernel.h"

#include <cmath>

#include "run/console.h"

namespace mpx {

void build_calibration_kernel(GeneratorSettings& settings, KernelBuffer& kernel,
                              RandomSource& dither, std::ostream& out) {
  const double phi = settings.subcarrier_phase_correction;
  const double g = settings.subcarrier_amplitude_correction;
  const double two_pi = settings.two_pi;

  settings.time_accumulator = 0.0;
  double t = 0.0;
  for (std::size_t i = 0; i < frames_per_block; ++i) {
    const double subcarrier =
        std::sin((t * settings.subcarrier_frequency) * two_pi + phi) * (g * 0.5);
    const double pilot = std::sin((t * settings.pilot_frequency) * two_pi) * 0.5;
    store_frame(kernel, dither, i, subcarrier, pilot);
    settings.time_accumulator = settings.time_step + settings.time_accumulator;
    t = settings.time_accumulator;
  }
  print(out, "Calibration kernel created\n");
}

}  // namespace mpx
