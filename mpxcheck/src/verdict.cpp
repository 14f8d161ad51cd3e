#include "verdict.h"

#include <cmath>
#include <cstdio>

#include "broadcast.h"

namespace {

// Figures are judged as the report prints them, to three decimals: a pilot that reads
// "8.000 %" is within 8 % to 10 % even if dither put the exact value a hair below.
double as_printed(double value) { return std::round(value * 1000.0) / 1000.0; }

std::string formatted(const char* format, double a, double b = 0, double c = 0) {
  char text[160];
  std::snprintf(text, sizeof text, format, a, b, c);
  return text;
}

void judge_pilot_frequency(double frequency_hz, Verdict& verdict) {
  if (std::abs(as_printed(frequency_hz) - pilot_frequency_hz) > pilot_frequency_tolerance_hz) {
    verdict.failures.push_back(formatted("pilot frequency %.3f Hz outside %.0f Hz \u00b1 %.0f Hz",
                                         frequency_hz, pilot_frequency_hz,
                                         pilot_frequency_tolerance_hz));
  }
}

void judge_peak(const char* what, double peak, Verdict& verdict) {
  if (as_printed(peak * 100.0) > composite_peak_max_percent) {
    verdict.failures.push_back(std::string(what) + formatted(" peak %.3f %% above %.0f %%",
                                                             peak * 100.0,
                                                             composite_peak_max_percent));
  }
}

}  // namespace

Verdict judge_multiplex(const MultiplexMeasurement& m) {
  Verdict verdict;
  judge_pilot_frequency(m.pilot_frequency_hz, verdict);
  const double pilot_percent = as_printed(m.pilot_level * 100.0);
  if (pilot_percent < pilot_level_min_percent || pilot_percent > pilot_level_max_percent) {
    verdict.failures.push_back(formatted("pilot level %.3f %% outside %.0f %% to %.0f %%",
                                         pilot_percent, pilot_level_min_percent,
                                         pilot_level_max_percent));
  }
  judge_peak("composite", m.composite_peak, verdict);
  return verdict;
}

Verdict judge_calibration(const CalibrationMeasurement& m) {
  Verdict verdict;
  judge_pilot_frequency(m.pilot_frequency_hz, verdict);
  judge_peak("19 kHz channel", m.pilot_channel_peak, verdict);
  judge_peak("38 kHz channel", m.subcarrier_channel_peak, verdict);
  return verdict;
}
