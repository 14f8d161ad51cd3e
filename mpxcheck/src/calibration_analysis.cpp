#include "calibration_analysis.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>

#include "broadcast.h"
#include "check_error.h"
#include "windowed_span.h"

namespace {

double peak_magnitude(const std::vector<double>& samples) {
  double peak = 0;
  for (const double sample : samples) peak = std::max(peak, std::abs(sample));
  return peak;
}

// Frequency, amplitude and sine phase (radians, from the middle of the stretch) of the tone near
// `estimate_hz`.
struct ToneFit {
  double frequency_hz = 0;
  double level = 0;
  double sine_phase = 0;
};

ToneFit fit_tone(std::span<const double> samples, double rate_hz, double estimate_hz) {
  const LineOffset line[] = {{0.0, 1.0}};
  ToneFit fit;
  fit.frequency_hz = refine_frequency(samples, rate_hz, estimate_hz, line);
  const std::complex<double> phasor =
      phasor_at(make_windowed_span(samples, rate_hz), fit.frequency_hz);
  fit.level = std::abs(phasor);
  fit.sine_phase = std::arg(phasor) + 0.5 * std::numbers::pi;
  return fit;
}

}  // namespace

CalibrationMeasurement analyse_calibration(const AudioFile& audio, const ChannelLayout& layout) {
  CalibrationMeasurement m;
  m.pilot_channel = layout.composite_channel;
  m.subcarrier_channel = layout.subcarrier_channel;
  const std::vector<double>& pilot_all = audio.channels.at(m.pilot_channel);
  const std::vector<double>& subcarrier_all = audio.channels.at(m.subcarrier_channel);
  const double rate = audio.sample_rate_hz;
  m.pilot_channel_peak = peak_magnitude(pilot_all);
  m.subcarrier_channel_peak = peak_magnitude(subcarrier_all);
  // Both tones are measured over the same stretch so that their phases share one time origin.
  m.analysed = choose_measurement_span(pilot_all, rate, longest_measurement_s, shortest_signal_s);
  const auto pilot_samples =
      std::span<const double>(pilot_all).subspan(m.analysed.begin, m.analysed.size());
  const auto subcarrier_samples =
      std::span<const double>(subcarrier_all).subspan(m.analysed.begin, m.analysed.size());
  m.pilot_spectrum = averaged_spectrum(pilot_samples, rate);
  m.subcarrier_spectrum = averaged_spectrum(subcarrier_samples, rate);

  const std::optional<SpectralPeak> pilot_peak =
      strongest_peak(m.pilot_spectrum, pilot_frequency_hz - pilot_search_half_width_hz,
                     pilot_frequency_hz + pilot_search_half_width_hz);
  if (!pilot_peak) throw CheckError("no 19 kHz tone found in the pilot channel");
  const std::optional<SpectralPeak> subcarrier_peak = strongest_peak(
      m.subcarrier_spectrum, 2 * pilot_peak->frequency_hz - calibration_tone_tolerance_hz,
      2 * pilot_peak->frequency_hz + calibration_tone_tolerance_hz);
  if (!subcarrier_peak) throw CheckError("no 38 kHz tone found in the subcarrier channel");

  const ToneFit pilot = fit_tone(pilot_samples, rate, pilot_peak->frequency_hz);
  const ToneFit subcarrier = fit_tone(subcarrier_samples, rate, subcarrier_peak->frequency_hz);
  m.pilot_frequency_hz = pilot.frequency_hz;
  m.pilot_level = pilot.level;
  m.subcarrier_frequency_hz = subcarrier.frequency_hz;
  m.subcarrier_level = subcarrier.level;
  const double phase =
      std::remainder(subcarrier.sine_phase - 2 * pilot.sine_phase, 2 * std::numbers::pi);
  m.subcarrier_phase_deg = phase * 180.0 / std::numbers::pi;
  return m;
}
