#include "multiplex_analysis.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>
#include <vector>

#include "broadcast.h"
#include "check_error.h"
#include "windowed_span.h"

namespace {

using Phasor = std::complex<double>;
constexpr Phasor j{0.0, 1.0};

double radians_to_degrees(double radians) { return radians * 180.0 / std::numbers::pi; }

// The strongest audio tone: found in the main channel (sum signal) or in either sideband around
// the subcarrier (difference signal), whichever carries more of it.
std::optional<double> find_tone(const Spectrum& spectrum, double pilot_hz, double rate_hz) {
  const double carrier = 2 * pilot_hz;
  const double highest = pilot_hz - tone_gap_below_pilot_hz;
  const double nyquist = 0.5 * rate_hz;
  std::vector<double> candidates;
  if (auto peak = strongest_peak(spectrum, tone_lowest_hz, highest)) {
    candidates.push_back(peak->frequency_hz);
  }
  if (auto peak = strongest_peak(spectrum, carrier - highest, carrier - tone_lowest_hz)) {
    candidates.push_back(carrier - peak->frequency_hz);
  }
  if (auto peak = strongest_peak(spectrum, carrier + tone_lowest_hz,
                                 std::min(carrier + highest, nyquist))) {
    candidates.push_back(peak->frequency_hz - carrier);
  }
  std::optional<double> best;
  double best_power = 0;
  double best_line = 0;
  for (const double f : candidates) {
    const double sum = amplitude_near(spectrum, f);
    const double lower = amplitude_near(spectrum, carrier - f);
    const double upper = carrier + f < nyquist ? amplitude_near(spectrum, carrier + f) : 0.0;
    const double power = sum * sum + lower * lower + upper * upper;
    if (power > best_power) {
      best_power = power;
      best_line = std::max({sum, lower, upper});
      best = f;
    }
  }
  const double floor =
      median_amplitude(spectrum, tone_lowest_hz, std::min(carrier + highest, nyquist));
  if (!best || best_line < tone_minimum_amplitude || best_line < tone_minimum_snr * floor) {
    return std::nullopt;
  }
  return best;
}

double peak_magnitude(const std::vector<double>& samples) {
  double peak = 0;
  for (const double sample : samples) peak = std::max(peak, std::abs(sample));
  return peak;
}

// Decodes the tone at `tone_hz` the way a receiver does: the sum signal straight from the main
// channel, the difference signal by multiplying with a 38 kHz reference regenerated from the
// pilot as sin(2·(ωp·t + ψ)) and low-pass filtering.
void decode_tone(const WindowedSpan& span, double pilot_hz, Phasor pilot, double tone_hz,
                 MultiplexMeasurement& m) {
  // A sine sin(ωt + ψ) has the phasor e^(j(ψ - π/2)).
  const double pilot_phase = std::arg(pilot) + 0.5 * std::numbers::pi;
  const Phasor reference = std::polar(1.0, 2 * pilot_phase);
  const double carrier = 2 * pilot_hz;

  const Phasor sum = phasor_at(span, tone_hz);
  const Phasor lower = phasor_at(span, carrier - tone_hz);
  const Phasor upper = phasor_at(span, carrier + tone_hz);
  // S·sin(ωc·t + Φ) with S = Re(s·e^(jωt)) puts (-j/2)·e^(jΦ)·s on the upper sideband and
  // (-j/2)·e^(jΦ)·conj(s) on the lower one; demodulating with 2·sin(ωc·t + Φ0) returns
  // j·e^(-jΦ0)·upper - j·e^(jΦ0)·conj(lower) = s·cos(Φ - Φ0).
  const Phasor difference = j * std::conj(reference) * upper - j * reference * std::conj(lower);
  const Phasor left = sum + difference;
  const Phasor right = sum - difference;

  const double sum_level = std::abs(sum);
  const double difference_level = std::abs(lower) + std::abs(upper);
  const double strength = sum_level + difference_level;
  const bool has_sum = sum_level >= part_presence_ratio * strength;
  const bool has_difference = difference_level >= part_presence_ratio * strength;

  m.tone_frequency_hz = tone_hz;
  m.sum_level = sum_level;
  m.difference_level = difference_level;
  m.left_level = std::abs(left);
  m.right_level = std::abs(right);
  if (has_difference) {
    // upper·lower = -(s·conj(s)/4)·e^(2jΦ): its angle gives the subcarrier's phase to within
    // 180°, the most any receiver can know without being told which channel is left.
    const Phasor doubled = -upper * lower * std::conj(reference * reference);
    m.subcarrier_phase_deg = radians_to_degrees(0.5 * std::arg(doubled));
  }
  const double stronger = std::max(*m.left_level, *m.right_level);
  const double weaker = std::min(*m.left_level, *m.right_level);
  const double one_sided = std::pow(10.0, -one_sided_margin_db / 20.0);
  if (weaker <= one_sided * stronger) {
    const double floor = stronger * std::pow(10.0, -separation_ceiling_db / 20.0);
    const double separation = 20.0 * std::log10(stronger / std::max(weaker, floor));
    if (*m.left_level >= *m.right_level) {
      m.separation_left_to_right_db = separation;
    } else {
      m.separation_right_to_left_db = separation;
    }
    // With the tone in one channel only, (L-R)/2 and (L+R)/2 are equally large.
    if (has_sum && has_difference) {
      m.difference_gain_error_percent = (difference_level / sum_level - 1.0) * 100.0;
    }
  }
}

}  // namespace

MultiplexMeasurement analyse_multiplex(const AudioFile& audio, std::size_t channel) {
  MultiplexMeasurement m;
  m.channel = channel;
  const std::vector<double>& all = audio.channels.at(channel);
  const double rate = audio.sample_rate_hz;
  m.composite_peak = peak_magnitude(all);
  m.analysed = choose_measurement_span(all, rate, longest_measurement_s, shortest_signal_s);
  const std::span<const double> samples =
      std::span<const double>(all).subspan(m.analysed.begin, m.analysed.size());
  m.spectrum = averaged_spectrum(samples, rate);

  const std::optional<SpectralPeak> pilot_peak =
      strongest_peak(m.spectrum, pilot_frequency_hz - pilot_search_half_width_hz,
                     pilot_frequency_hz + pilot_search_half_width_hz);
  if (!pilot_peak || pilot_peak->amplitude < pilot_minimum_amplitude) {
    throw CheckError("no 19 kHz pilot found in the analysed part of channel " +
                     std::to_string(channel + 1));
  }
  const LineOffset pilot_line[] = {{0.0, 1.0}};
  m.pilot_frequency_hz = refine_frequency(samples, rate, pilot_peak->frequency_hz, pilot_line);

  const WindowedSpan span = make_windowed_span(samples, rate);
  const Phasor pilot = phasor_at(span, m.pilot_frequency_hz);
  m.pilot_level = std::abs(pilot);
  const double carrier = 2 * m.pilot_frequency_hz;
  m.residual_38k_level = std::abs(phasor_at(span, carrier));

  const std::optional<double> tone = find_tone(m.spectrum, m.pilot_frequency_hz, rate);
  if (tone) {
    std::vector<LineOffset> lines = {{0.0, 1.0}, {carrier, -1.0}};
    if (carrier + *tone < 0.5 * rate) lines.push_back({carrier, 1.0});
    const double tone_hz = refine_frequency(samples, rate, *tone, lines);
    decode_tone(span, m.pilot_frequency_hz, pilot, tone_hz, m);
  }
  return m;
}
