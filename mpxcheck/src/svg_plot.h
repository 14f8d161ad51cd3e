#pragma once

#include <string>
#include <vector>

#include "spectrum.h"

struct PlotTrace {
  const Spectrum* spectrum = nullptr;
  std::string label;
  std::string colour = "#1f5fbf";
};

// A labelled vertical line at a frequency of interest (pilot, subcarrier, sidebands).
struct PlotMarker {
  double frequency_hz = 0;
  std::string label;
};

struct SpectrumPlot {
  std::string title;
  std::vector<PlotTrace> traces;
  std::vector<PlotMarker> markers;
};

// The plot's frame: 0 to 96 kHz (the band a 192 kHz file holds), 0 to -160 dBFS.
inline constexpr double plot_top_frequency_hz = 96000.0;
inline constexpr double plot_floor_dbfs = -160.0;

// An SVG drawing of the magnitude spectra in dBFS against frequency, with the markers.
std::string render_spectrum_svg(const SpectrumPlot& plot);
