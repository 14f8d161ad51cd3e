#include "windowed_span.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

// Samples between exact re-evaluations of the rotating phasor, bounding rounding drift.
constexpr std::size_t rotation_block = 4096;
constexpr double first_stretch_s = 0.25;
constexpr std::size_t stretch_growth = 4;
constexpr double golden_fraction = 0.6180339887498949;
constexpr double final_tolerance_bins = 1e-4;

double line_power(const WindowedSpan& span, double frequency_hz,
                  std::span<const LineOffset> lines) {
  double power = 0;
  for (const LineOffset& line : lines) {
    power += std::norm(phasor_at(span, line.offset_hz + line.sign * frequency_hz));
  }
  return power;
}

// Golden-section search for the maximum of a function unimodal on [low, high].
template <typename Function>
double maximise(Function f, double low, double high, double tolerance) {
  double a = high - golden_fraction * (high - low);
  double b = low + golden_fraction * (high - low);
  double fa = f(a);
  double fb = f(b);
  while (high - low > tolerance) {
    if (fa < fb) {
      low = a;
      a = b;
      fa = fb;
      b = low + golden_fraction * (high - low);
      fb = f(b);
    } else {
      high = b;
      b = a;
      fb = fa;
      a = high - golden_fraction * (high - low);
      fa = f(a);
    }
  }
  return 0.5 * (low + high);
}

}  // namespace

WindowedSpan make_windowed_span(std::span<const double> samples, double sample_rate_hz) {
  WindowedSpan span;
  span.sample_rate_hz = sample_rate_hz;
  const std::size_t n = samples.size();
  span.middle_index = 0.5 * static_cast<double>(n - 1);
  span.weighted.resize(n);
  for (std::size_t i = 0; i < n; ++i) {
    const double s =
        std::sin(std::numbers::pi * (static_cast<double>(i) + 0.5) / static_cast<double>(n));
    const double window = s * s;
    span.window_sum += window;
    span.weighted[i] = samples[i] * window;
  }
  return span;
}

std::complex<double> phasor_at(const WindowedSpan& span, double frequency_hz) {
  const double step = 2.0 * std::numbers::pi * frequency_hz / span.sample_rate_hz;
  const double step_re = std::cos(step);
  const double step_im = -std::sin(step);
  double sum_re = 0;
  double sum_im = 0;
  const std::size_t n = span.weighted.size();
  for (std::size_t start = 0; start < n; start += rotation_block) {
    const double phase = -step * (static_cast<double>(start) - span.middle_index);
    double z_re = std::cos(phase);
    double z_im = std::sin(phase);
    const std::size_t stop = std::min(n, start + rotation_block);
    for (std::size_t i = start; i < stop; ++i) {
      sum_re += span.weighted[i] * z_re;
      sum_im += span.weighted[i] * z_im;
      const double next_re = z_re * step_re - z_im * step_im;
      z_im = z_re * step_im + z_im * step_re;
      z_re = next_re;
    }
  }
  return std::complex<double>(sum_re, sum_im) * (2.0 / span.window_sum);
}

double refine_frequency(std::span<const double> samples, double sample_rate_hz, double estimate_hz,
                        std::span<const LineOffset> lines) {
  const std::size_t n = samples.size();
  std::size_t length =
      std::min(n, static_cast<std::size_t>(std::llround(first_stretch_s * sample_rate_hz)));
  double frequency = estimate_hz;
  for (;;) {
    const WindowedSpan span =
        make_windowed_span(samples.subspan((n - length) / 2, length), sample_rate_hz);
    // A Hann window's main lobe reaches two bins either side; bracketing one bin either side of
    // an estimate that is within a bin keeps the search on the main lobe.
    const double bin_hz = sample_rate_hz / static_cast<double>(length);
    frequency = maximise([&](double f) { return line_power(span, f, lines); }, frequency - bin_hz,
                         frequency + bin_hz, final_tolerance_bins * bin_hz);
    if (length == n) return frequency;
    length = std::min(n, length * stretch_growth);
  }
}
