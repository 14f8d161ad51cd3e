#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <vector>

// An averaged magnitude spectrum (Welch's method: Hann-windowed FFTs, half overlapping, powers
// averaged). amplitude[k] is scaled so that a sine of peak amplitude a centred on bin k reads a;
// 1.0 is digital full scale.
struct Spectrum {
  double bin_hz = 0;
  std::size_t fft_size = 0;
  std::size_t averages = 0;
  std::vector<double> amplitude;  // bins 0 .. fft_size/2
};

// FFT length giving bins no wider than longest_bin_hz, as far as `available` samples allow.
inline constexpr double longest_bin_hz = 3.0;
std::size_t spectrum_fft_size(double sample_rate_hz, std::size_t available);

// Needs at least 16 samples.
Spectrum averaged_spectrum(std::span<const double> samples, double sample_rate_hz);

struct SpectralPeak {
  double frequency_hz = 0;  // interpolated between bins
  double amplitude = 0;     // of the strongest bin
};

// The strongest bin between low_hz and high_hz, if the range holds any bin.
std::optional<SpectralPeak> strongest_peak(const Spectrum& spectrum, double low_hz, double high_hz);

// Amplitude of the strongest bin within one bin of `frequency_hz`.
double amplitude_near(const Spectrum& spectrum, double frequency_hz);

// Median amplitude of the bins between low_hz and high_hz: the noise floor around a line.
double median_amplitude(const Spectrum& spectrum, double low_hz, double high_hz);
