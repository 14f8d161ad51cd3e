#include "plot_request.h"

#include <cstdio>

namespace {

std::string kilohertz(double frequency_hz) {
  char text[32];
  std::snprintf(text, sizeof text, "%.3f kHz", frequency_hz / 1000.0);
  return text;
}

std::string averaging(const Spectrum& spectrum) {
  return "Hann window, " + std::to_string(spectrum.fft_size) + "-point FFT, " +
         std::to_string(spectrum.averages) + " averages";
}

}  // namespace

SpectrumPlot plot_for(const Analysis& analysis) {
  SpectrumPlot plot;
  if (analysis.multiplex) {
    const MultiplexMeasurement& m = *analysis.multiplex;
    plot.title = analysis.file_name + ", channel " + std::to_string(m.channel + 1) + " (" +
                 averaging(m.spectrum) + ")";
    plot.traces.push_back({&m.spectrum, "composite", "#1f5fbf"});
    const double pilot = m.pilot_frequency_hz;
    plot.markers.push_back({pilot, "pilot " + kilohertz(pilot)});
    plot.markers.push_back({2 * pilot, "subcarrier " + kilohertz(2 * pilot)});
    if (m.tone_frequency_hz) {
      const double tone = *m.tone_frequency_hz;
      plot.markers.push_back({tone, "tone (L+R) " + kilohertz(tone)});
      plot.markers.push_back({2 * pilot - tone, "lower sideband " + kilohertz(2 * pilot - tone)});
      plot.markers.push_back({2 * pilot + tone, "upper sideband " + kilohertz(2 * pilot + tone)});
    }
  } else if (analysis.calibration) {
    const CalibrationMeasurement& m = *analysis.calibration;
    plot.title = analysis.file_name + ", calibration (" + averaging(m.pilot_spectrum) + ")";
    plot.traces.push_back({&m.pilot_spectrum,
                           "channel " + std::to_string(m.pilot_channel + 1) + " (19 kHz)",
                           "#1f5fbf"});
    plot.traces.push_back({&m.subcarrier_spectrum,
                           "channel " + std::to_string(m.subcarrier_channel + 1) + " (38 kHz)",
                           "#2a9d3a"});
    plot.markers.push_back({m.pilot_frequency_hz, "pilot " + kilohertz(m.pilot_frequency_hz)});
    plot.markers.push_back(
        {m.subcarrier_frequency_hz, "subcarrier " + kilohertz(m.subcarrier_frequency_hz)});
  }
  return plot;
}
