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
    case SignalMode::Left:
      return {tone, 0.0};
    case SignalMode::Right:
      return {0.0, tone};
    case SignalMode::Antiphase:
      return {tone, tone * -1.0};
    case SignalMode::Mono:
    case SignalMode::Check:
      break;
  }
  return {tone, tone};
}

}  // namespace

FrameState build_mpx_frames(const GeneratorSettings& settings, KernelBuffer& kernel,
                            FrameRange range, FrameState start) {
  const auto mode = static_cast<SignalMode>(settings.mode_number);
  const double a = settings.amplitude;
  const double f = settings.tone_frequency;
  const double phi = settings.subcarrier_phase_correction;
  const double g = settings.subcarrier_amplitude_correction;
  const double two_pi = settings.two_pi;
  const double subcarrier_frequency = settings.subcarrier_frequency;
  const double pilot_frequency = settings.pilot_frequency;
  const double time_step = settings.time_step;

  // The clock is a running sum of the sample period, not i * period: after 192000 additions it
  // stands 4.2e-12 s short of one second, and the stored samples depend on that.
  double t = start.t;
  RandomSource dither = start.dither;
  for (std::size_t i = range.first; i < range.last; ++i) {
    const double s = std::sin((t * f) * two_pi);
    const StereoTone tone = place_tone(mode, a * s);
    const double sum = ((tone.right + tone.left) * 0.9) * 0.5;
    // In Mono both channels hold the same tone, so the difference signal is a zero of either
    // sign and its 38 kHz sine is not computed. Added to the pilot, either zero leaves the pilot
    // exactly as it was (the pilot is never a negative zero: its sine starts at +0 and t >= 0).
    const double difference = mode == SignalMode::Mono
                                  ? 0.0
                                  : std::sin((t * subcarrier_frequency) * two_pi + phi) *
                                        ((tone.left - tone.right) * g) * 0.5;
    const double pilot = std::sin((t * pilot_frequency) * two_pi) * 0.1;
    store_frame(kernel, dither, i, sum, (difference + pilot) * 0.9 + sum);
    t = time_step + t;
  }
  return {t, dither};
}

void build_mpx_kernel(GeneratorSettings& settings, KernelBuffer& kernel, RandomSource& dither,
                      std::ostream& out) {
  const FrameState end = build_mpx_frames(settings, kernel, {0, frames_per_block}, {0.0, dither});
  settings.time_accumulator = end.t;
  dither = end.dither;
  announce_mpx_kernel(out);
}

void announce_mpx_kernel(std::ostream& out) { print(out, "MPX kernel created\n"); }

}  // namespace mpx
