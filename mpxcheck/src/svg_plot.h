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

// The plot's frame: 0 to 96 kHz (the band a 192 kHz file holds) from left to right, 0 down to
// -200 dBFS (below the dither floor of a 24-bit file) from top to bottom, in SVG pixels.
inline constexpr double plot_top_frequency_hz = 96000.0;
inline constexpr double plot_floor_dbfs = -200.0;
inline constexpr double plot_left_px = 70;
inline constexpr double plot_right_px = 940;
inline constexpr double plot_top_px = 100;
inline constexpr double plot_bottom_px = 510;

// An SVG drawing of the magnitude spectra in dBFS against frequency, with the markers.
std::string render_spectrum_svg(const SpectrumPlot& plot);
