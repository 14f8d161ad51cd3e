#include "spectrum.h"

#include <fftw3.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <numbers>

namespace {

struct FftwFree {
  void operator()(void* memory) const { fftw_free(memory); }
};
struct FftwPlanDestroy {
  void operator()(fftw_plan_s* plan) const { fftw_destroy_plan(plan); }
};

std::size_t bin_of(const Spectrum& spectrum, double frequency_hz) {
  const double bin = std::round(frequency_hz / spectrum.bin_hz);
  if (bin <= 0) return 0;
  return std::min(spectrum.amplitude.size() - 1, static_cast<std::size_t>(bin));
}

}  // namespace

std::size_t spectrum_fft_size(double sample_rate_hz, std::size_t available) {
  std::size_t size = 16;
  while (static_cast<double>(sample_rate_hz) / static_cast<double>(size) > longest_bin_hz &&
         size * 2 <= available) {
    size *= 2;
  }
  return size;
}

Spectrum averaged_spectrum(std::span<const double> samples, double sample_rate_hz) {
  Spectrum spectrum;
  const std::size_t n = spectrum_fft_size(sample_rate_hz, samples.size());
  const std::size_t bins = n / 2 + 1;
  spectrum.fft_size = n;
  spectrum.bin_hz = sample_rate_hz / static_cast<double>(n);

  std::vector<double> window(n);
  double window_sum = 0;
  for (std::size_t i = 0; i < n; ++i) {
    const double s =
        std::sin(std::numbers::pi * (static_cast<double>(i) + 0.5) / static_cast<double>(n));
    window[i] = s * s;
    window_sum += window[i];
  }

  std::unique_ptr<double, FftwFree> input(fftw_alloc_real(n));
  std::unique_ptr<fftw_complex, FftwFree> output(fftw_alloc_complex(bins));
  std::unique_ptr<fftw_plan_s, FftwPlanDestroy> plan(fftw_plan_dft_r2c_1d(
      static_cast<int>(n), input.get(), output.get(), FFTW_ESTIMATE | FFTW_DESTROY_INPUT));

  std::vector<double> power(bins, 0.0);  // stays zero for fewer than n samples
  const std::size_t hop = n / 2;
  for (std::size_t start = 0; start + n <= samples.size(); start += hop) {
    for (std::size_t i = 0; i < n; ++i) input.get()[i] = samples[start + i] * window[i];
    fftw_execute(plan.get());
    for (std::size_t k = 0; k < bins; ++k) {
      power[k] += output.get()[k][0] * output.get()[k][0] + output.get()[k][1] * output.get()[k][1];
    }
    ++spectrum.averages;
  }
  spectrum.amplitude.resize(bins);
  if (spectrum.averages == 0) return spectrum;
  const double scale = 2.0 / window_sum;
  for (std::size_t k = 0; k < bins; ++k) {
    spectrum.amplitude[k] = std::sqrt(power[k] / static_cast<double>(spectrum.averages)) * scale;
  }
  return spectrum;
}

std::optional<SpectralPeak> strongest_peak(const Spectrum& spectrum, double low_hz,
                                           double high_hz) {
  const std::size_t low = std::max<std::size_t>(1, bin_of(spectrum, low_hz));
  const std::size_t high = std::min(spectrum.amplitude.size() - 2, bin_of(spectrum, high_hz));
  if (low > high) return std::nullopt;
  std::size_t best = low;
  for (std::size_t k = low; k <= high; ++k) {
    if (spectrum.amplitude[k] > spectrum.amplitude[best]) best = k;
  }
  // Parabola through the logarithms of the peak bin and its neighbours.
  const double before = std::log(spectrum.amplitude[best - 1] + 1e-300);
  const double at = std::log(spectrum.amplitude[best] + 1e-300);
  const double after = std::log(spectrum.amplitude[best + 1] + 1e-300);
  const double curvature = before - 2 * at + after;
  const double shift =
      curvature < 0 ? std::clamp(0.5 * (before - after) / curvature, -0.5, 0.5) : 0.0;
  return SpectralPeak{(static_cast<double>(best) + shift) * spectrum.bin_hz,
                      spectrum.amplitude[best]};
}

double amplitude_near(const Spectrum& spectrum, double frequency_hz) {
  const std::size_t centre = bin_of(spectrum, frequency_hz);
  double strongest = spectrum.amplitude[centre];
  if (centre > 0) strongest = std::max(strongest, spectrum.amplitude[centre - 1]);
  if (centre + 1 < spectrum.amplitude.size()) {
    strongest = std::max(strongest, spectrum.amplitude[centre + 1]);
  }
  return strongest;
}

double median_amplitude(const Spectrum& spectrum, double low_hz, double high_hz) {
  const std::size_t low = bin_of(spectrum, low_hz);
  const std::size_t high = bin_of(spectrum, high_hz);
  if (low > high) return 0;
  std::vector<double> values(spectrum.amplitude.begin() + static_cast<std::ptrdiff_t>(low),
                             spectrum.amplitude.begin() + static_cast<std::ptrdiff_t>(high) + 1);
  auto middle = values.begin() + static_cast<std::ptrdiff_t>(values.size() / 2);
  std::nth_element(values.begin(), middle, values.end());
  return *middle;
}
