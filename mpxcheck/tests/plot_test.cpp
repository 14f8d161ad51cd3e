// The spectrum picture: valid XML, renders, and shows the lines where they are.
#include <gtest/gtest.h>

#include <cmath>
#include <regex>
#include <sstream>

#include "svg_plot.h"
#include "test_support.h"

namespace {

struct PlotPoint {
  double frequency_hz = 0;
  double dbfs = 0;
};

std::vector<PlotPoint> trace_points(const std::string& svg) {
  std::vector<PlotPoint> points;
  const std::smatch match = [&] {
    std::smatch m;
    std::regex_search(svg, m, std::regex("<polyline class=\"trace\"[^>]*points=\"([^\"]*)\""));
    return m;
  }();
  if (match.empty()) return points;
  std::istringstream in(match[1].str());
  double x = 0;
  double y = 0;
  char comma = 0;
  while (in >> x >> comma >> y) {
    points.push_back({(x - plot_left_px) / (plot_right_px - plot_left_px) * plot_top_frequency_hz,
                      (y - plot_top_px) / (plot_bottom_px - plot_top_px) * plot_floor_dbfs});
  }
  return points;
}

// The highest point of the trace between low_hz and high_hz.
PlotPoint highest(const std::vector<PlotPoint>& points, double low_hz, double high_hz) {
  PlotPoint best{0, plot_floor_dbfs - 1};
  for (const PlotPoint& p : points) {
    if (p.frequency_hz >= low_hz && p.frequency_hz <= high_hz && p.dbfs > best.dbfs) best = p;
  }
  return best;
}

class PlotTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (python_exe.empty()) GTEST_SKIP() << "no python3 with numpy to write test files";
  }
  ScratchDir scratch;
};

TEST_F(PlotTest, LeftTonePlotIsValidRendersAndShowsTheLines) {
  if (xmllint_exe.empty() || rsvg_convert_exe.empty()) {
    GTEST_SKIP() << "xmllint (libxml2-utils) or rsvg-convert (librsvg2-bin) missing";
  }
  const auto file = scratch / "left & <1 kHz>.wav";  // characters XML must escape
  ASSERT_TRUE(make_test_file(file, {"--mode", "L", "--tone-hz", "1000"}, scratch));
  const auto svg = scratch / "plot.svg";
  const auto png = scratch / "plot.png";
  ASSERT_EQ(run_mpxcheck({file.string(), "--plot", svg.string()}, scratch).exit_status, 0);

  const RunResult lint = run_program({xmllint_exe, "--noout", svg.string()}, scratch);
  EXPECT_EQ(lint.exit_status, 0) << lint.err;
  const RunResult render =
      run_program({rsvg_convert_exe, "-o", png.string(), svg.string()}, scratch);
  EXPECT_EQ(render.exit_status, 0) << render.err;
  EXPECT_EQ(read_file(png).substr(0, 8), "\x89PNG\r\n\x1a\n");

  const std::string text = read_file(svg);
  for (const char* label : {"pilot 19.000 kHz", "subcarrier 38.000 kHz", "tone (L+R) 1.000 kHz",
                            "lower sideband 37.000 kHz", "upper sideband 39.000 kHz"}) {
    EXPECT_NE(text.find(label), std::string::npos) << label;
  }
  // Each line stands where it belongs, at its level (45 % = -6.9 dBFS for the sum and 22.5 %
  // = -12.96 dBFS for each sideband, 9 % = -20.9 dBFS for the pilot) less at most the Hann
  // window's 1.42 dB loss between bins. One pixel column spans 110 Hz.
  struct Line {
    double frequency_hz;
    double dbfs;
  };
  const std::vector<PlotPoint> points = trace_points(text);
  ASSERT_GT(points.size(), 500u);
  for (const Line line :
       {Line{1000, -6.94}, Line{19000, -20.92}, Line{37000, -12.96}, Line{39000, -12.96}}) {
    SCOPED_TRACE(line.frequency_hz);
    const PlotPoint top = highest(points, line.frequency_hz - 500, line.frequency_hz + 500);
    EXPECT_NEAR(top.frequency_hz, line.frequency_hz, 110);
    EXPECT_LE(top.dbfs, line.dbfs + 0.1);
    EXPECT_GE(top.dbfs, line.dbfs - 1.5);
  }
  // Between the lines the suppressed carrier and the empty band sit far down.
  EXPECT_LT(highest(points, 37900, 38100).dbfs, -100);
  EXPECT_LT(highest(points, 60000, 96000).dbfs, -100);
}

TEST_F(PlotTest, CalibrationPlotShowsBothChannels) {
  if (xmllint_exe.empty()) GTEST_SKIP() << "xmllint (libxml2-utils) missing";
  const auto file = scratch / "calibration.wav";
  ASSERT_TRUE(make_test_file(file, {"--layout", "calibration"}, scratch));
  const auto svg = scratch / "plot.svg";
  ASSERT_EQ(run_mpxcheck({file.string(), "--plot", svg.string()}, scratch).exit_status, 0);
  EXPECT_EQ(run_program({xmllint_exe, "--noout", svg.string()}, scratch).exit_status, 0);
  const std::string text = read_file(svg);
  EXPECT_NE(text.find("channel 2 (19 kHz)"), std::string::npos);
  EXPECT_NE(text.find("channel 1 (38 kHz)"), std::string::npos);
  EXPECT_NE(text.find("subcarrier 38.000 kHz"), std::string::npos);
}

}  // namespace
