#include "synth/mpx_kernel.h"

#include <cmath>

#include "run/console.h"

namespace mpx {
namespace {

struct StereoTone {
  double left = 0.0;
  double right = 0.0;
};

StereoTone place_tone(SignalMode mode, double tone) {
  switch (mode) {
    case SignalMode::Left: return {tone, 0.0};
    case SignalMode::Right: return {0.0, tone};
    case SignalMode::Antiphase: return {tone, tone * -1.0};
    case SignalMode::Mono:
    case SignalMode::Check: break;
  }
  return {tone, tone};
}

}  // namespace

void build_mpx_kernel(GeneratorSettings& settings, KernelBuffer& kernel, RandomSource& dither,
                      std::ostream& out) {
  const auto mode = static_cast<SignalMode>(settings.mode_number);
  const double a = settings.amplitude;
  const double f = settings.tone_frequency;
  const double phi = settings.subcarrier_phase_correction;
  const double g = settings.subcarrier_amplitude_correction;
  const double two_pi = settings.two_pi;

  // The clock is a running sum of the sample period, not i * period: after 192000 additions it
  // stands 4.2e-12 s short of one second, and the stored samples depend on that.
  settings.time_accumulator = 0.0;
  double t = 0.0;
  for (std::size_t i = 0; i < frames_per_block; ++i) {
    const double s = std::sin((t * f) * two_pi);
    const StereoTone tone = place_tone(mode, a * s);
    const double sum = ((tone.right + tone.left) * 0.9) * 0.5;
    const double difference = std::sin((t * settings.subcarrier_frequency) * two_pi + phi) *
                              ((tone.left - tone.right) * g) * 0.5;
    const double pilot = std::sin((t * settings.pilot_frequency) * two_pi) * 0.1;
    store_frame(kernel, dither, i, sum, (difference + pilot) * 0.9 + sum);
    settings.time_accumulator = settings.time_step + settings.time_accumulator;
    t = settings.time_accumulator;
  }
  print(out, "MPX kernel created\n");
}

}  // namespace mpx
