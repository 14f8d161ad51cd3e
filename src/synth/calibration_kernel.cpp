#include "synth/calibration_kernel.h"

#include <cmath>

#include "run/console.h"

namespace mpx {

FrameState build_calibration_frames(const GeneratorSettings& settings, KernelBuffer& kernel,
                                    FrameRange range, FrameState start) {
  const double phi = settings.subcarrier_phase_correction;
  const double g = settings.subcarrier_amplitude_correction;
  const double two_pi = settings.two_pi;
  const double subcarrier_frequency = settings.subcarrier_frequency;
  const double pilot_frequency = settings.pilot_frequency;
  const double time_step = settings.time_step;

  double t = start.t;
  RandomSource dither = start.dither;
  for (std::size_t i = range.first; i < range.last; ++i) {
    const double subcarrier = std::sin((t * subcarrier_frequency) * two_pi + phi) * (g * 0.5);
    const double pilot = std::sin((t * pilot_frequency) * two_pi) * 0.5;
    store_frame(kernel, dither, i, subcarrier, pilot);
    t = time_step + t;
  }
  return {t, dither};
}

void build_calibration_kernel(GeneratorSettings& settings, KernelBuffer& kernel,
                              RandomSource& dither, std::ostream& out) {
  const FrameState end =
      build_calibration_frames(settings, kernel, {0, frames_per_block}, {0.0, dither});
  settings.time_accumulator = end.t;
  dither = end.dither;
  announce_calibration_kernel(out);
}

void announce_calibration_kernel(std::ostream& out) { print(out, "Calibration kernel created\n"); }

}  // namespace mpx
