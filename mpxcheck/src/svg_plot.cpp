#include "svg_plot.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

constexpr double width_px = 960;
constexpr double height_px = 560;
constexpr double left_px = plot_left_px;
constexpr double right_px = plot_right_px;
constexpr double top_px = plot_top_px;
constexpr double bottom_px = plot_bottom_px;
constexpr double frequency_grid_hz = 10000.0;
constexpr double level_grid_db = 20.0;
// Marker labels sit in rows above the frame, each in the first row where it overlaps no other.
constexpr double first_label_row_px = 46;
constexpr double label_row_px = 13;
constexpr int label_rows = 4;
constexpr double label_char_px = 6.2;  // average advance of an 11 px sans-serif character

std::string number(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f", value);
  return text;
}

std::string escaped(const std::string& text) {
  std::string out;
  for (const char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      default:
        out += c;
    }
  }
  return out;
}

double x_of(double frequency_hz) {
  return left_px + (right_px - left_px) * frequency_hz / plot_top_frequency_hz;
}

double y_of(double dbfs) {
  const double clamped = std::clamp(dbfs, plot_floor_dbfs, 0.0);
  return top_px + (bottom_px - top_px) * clamped / plot_floor_dbfs;
}

std::string grid() {
  std::string out = "<g stroke=\"#d0d0d0\" stroke-width=\"1\">\n";
  for (double f = 0; f <= plot_top_frequency_hz; f += frequency_grid_hz) {
    out += "<line x1=\"" + number(x_of(f)) + "\" y1=\"" + number(top_px) + "\" x2=\"" +
           number(x_of(f)) + "\" y2=\"" + number(bottom_px) + "\"/>\n";
  }
  for (double db = 0; db >= plot_floor_dbfs; db -= level_grid_db) {
    out += "<line x1=\"" + number(left_px) + "\" y1=\"" + number(y_of(db)) + "\" x2=\"" +
           number(right_px) + "\" y2=\"" + number(y_of(db)) + "\"/>\n";
  }
  out += "</g>\n<g font-family=\"sans-serif\" font-size=\"12\" fill=\"#333\">\n";
  for (double f = 0; f <= plot_top_frequency_hz; f += frequency_grid_hz) {
    out += "<text x=\"" + number(x_of(f)) + "\" y=\"" + number(bottom_px + 16) +
           "\" text-anchor=\"middle\">" + std::to_string(std::lround(f / 1000.0)) + "</text>\n";
  }
  for (double db = 0; db >= plot_floor_dbfs; db -= level_grid_db) {
    out += "<text x=\"" + number(left_px - 6) + "\" y=\"" + number(y_of(db) + 4) +
           "\" text-anchor=\"end\">" + std::to_string(static_cast<int>(db)) + "</text>\n";
  }
  out += "<text x=\"" + number(0.5 * (left_px + right_px)) + "\" y=\"" + number(bottom_px + 36) +
         "\" text-anchor=\"middle\">frequency (kHz)</text>\n";
  out += "<text transform=\"translate(18 " + number(0.5 * (top_px + bottom_px)) +
         ") rotate(-90)\" text-anchor=\"middle\">level (dBFS)</text>\n</g>\n";
  out += "<rect x=\"" + number(left_px) + "\" y=\"" + number(top_px) + "\" width=\"" +
         number(right_px - left_px) + "\" height=\"" + number(bottom_px - top_px) +
         "\" fill=\"none\" stroke=\"#333\"/>\n";
  return out;
}

// One point per pixel column: the strongest bin that falls into it, so narrow lines stay visible.
std::string trace_path(const PlotTrace& trace) {
  const Spectrum& s = *trace.spectrum;
  const int columns = static_cast<int>(right_px - left_px);
  const double column_hz = plot_top_frequency_hz / columns;
  std::string points;
  for (int column = 0; column < columns; ++column) {
    const double low_hz = column * column_hz;
    const auto first = static_cast<std::size_t>(std::ceil(low_hz / s.bin_hz));
    const auto last = static_cast<std::size_t>(std::ceil((low_hz + column_hz) / s.bin_hz));
    if (first >= s.amplitude.size()) break;
    double strongest = 0;
    for (std::size_t k = first; k < std::min(last, s.amplitude.size()); ++k) {
      strongest = std::max(strongest, s.amplitude[k]);
    }
    const double dbfs = 20.0 * std::log10(std::max(strongest, 1e-12));
    points += number(x_of(low_hz + 0.5 * column_hz)) + "," + number(y_of(dbfs)) + " ";
  }
  return "<polyline class=\"trace\" fill=\"none\" stroke=\"" + trace.colour +
         "\" stroke-width=\"1.2\" points=\"" + points + "\"/>\n";
}

// Lines at the markers, with their labels set in rows above the frame and joined to them.
std::string markers(std::vector<PlotMarker> list) {
  std::sort(list.begin(), list.end(), [](const PlotMarker& a, const PlotMarker& b) {
    return a.frequency_hz < b.frequency_hz;
  });
  std::vector<double> row_end(label_rows, -1e9);
  std::string out;
  for (const PlotMarker& m : list) {
    if (m.frequency_hz < 0 || m.frequency_hz > plot_top_frequency_hz) continue;
    const double x = x_of(m.frequency_hz);
    const double half_width = 0.5 * label_char_px * static_cast<double>(m.label.size());
    const double centre = std::clamp(x, half_width + 2, width_px - half_width - 2);
    int row = 0;
    while (row + 1 < label_rows && row_end[row] > centre - half_width) ++row;
    row_end[row] = centre + half_width + 6;
    const double y = first_label_row_px + label_row_px * row;
    out += "<text x=\"" + number(centre) + "\" y=\"" + number(y) +
           "\" text-anchor=\"middle\" font-family=\"sans-serif\" font-size=\"11\" "
           "fill=\"#c03030\">" +
           escaped(m.label) + "</text>\n";
    out +=
        "<polyline fill=\"none\" stroke=\"#c03030\" stroke-width=\"1\" "
        "stroke-dasharray=\"4 3\" points=\"" +
        number(centre) + "," + number(y + 3) + " " + number(x) + "," + number(top_px) + " " +
        number(x) + "," + number(bottom_px) + "\"/>\n";
  }
  return out;
}

std::string legend(const std::vector<PlotTrace>& traces) {
  std::string out;
  const double y = 22;
  double x = right_px;
  for (auto trace = traces.rbegin(); trace != traces.rend(); ++trace) {
    out += "<text x=\"" + number(x) + "\" y=\"" + number(y) +
           "\" text-anchor=\"end\" font-family=\"sans-serif\" font-size=\"12\" fill=\"" +
           trace->colour + "\">" + escaped(trace->label) + "</text>\n";
    x -= 12.0 + 7.0 * static_cast<double>(trace->label.size());
  }
  return out;
}

}  // namespace

std::string render_spectrum_svg(const SpectrumPlot& plot) {
  std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
  out += "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + number(width_px) + "\" height=\"" +
         number(height_px) + "\" viewBox=\"0 0 " + number(width_px) + " " + number(height_px) +
         "\">\n";
  out += "<rect width=\"100%\" height=\"100%\" fill=\"white\"/>\n";
  out += "<text x=\"" + number(left_px) + "\" y=\"22\" font-family=\"sans-serif\" " +
         "font-size=\"14\" fill=\"#111\">" + escaped(plot.title) + "</text>\n";
  out += grid();
  for (const PlotTrace& trace : plot.traces) {
    if (trace.spectrum != nullptr && !trace.spectrum->amplitude.empty()) out += trace_path(trace);
  }
  out += markers(plot.markers);
  out += legend(plot.traces);
  return out + "</svg>\n";
}
