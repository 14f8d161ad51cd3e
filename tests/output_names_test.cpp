#include "run/output_names.h"

#include <gtest/gtest.h>

#include <sstream>

namespace mpx {
namespace {

TEST(OutputNames, ToneFileNames) {
  struct Case {
    char letter;
    double percent;
    double frequency;
    std::string leaf;
    std::string branch;  // the marker line printed for plain hertz (b) or kilohertz (a)
  };
  const Case cases[] = {
      {'M', 100, 1000, "MPX_M1000Hz100dBd24bit", "b"},    // 1000 Hz stays in plain hertz
      {'L', 90, 1001, "MPX_L01k001Hz090dBd24bit", "a"},   // above 1000 Hz: kilohertz form
      {'R', 50, 400, "MPX_R400Hz050dBd24bit", "b"},      // three digits at least
      {'A', 29, 15000, "MPX_A15k000Hz028dBd24bit", "a"},  // 29 % comes back as 28
      {'M', 100, 95990, "MPX_M95k990Hz100dBd24bit", "a"}, // highest frequency
      {'M', 10, 50, "MPX_M050Hz010dBd24bit", "b"},       // zero-padded frequency
      {'L', 57, 1, "MPX_L001Hz056dBd24bit", "b"},        // 57 % comes back as 56
      {'R', -5, 440, "MPX_R440Hz-05dBd24bit", "b"},      // negative level keeps the sign
      {'M', 150, 20000, "MPX_M20k000Hz150dBd24bit", "a"}, // over 100 % is named as entered
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.leaf);
    GeneratorSettings settings;
    settings.mode_letter = c.letter;
    settings.amplitude_percent = c.percent;
    settings.amplitude = c.percent / 100.0;
    settings.tone_frequency = c.frequency;
    settings.output_directory = "D:\\tracks";
    std::ostringstream out;
    make_output_names(settings, out);
    EXPECT_EQ(settings.leaf_name, c.leaf);
    EXPECT_EQ(settings.full_path, "D:\\tracks/" + c.leaf + ".wav");
    EXPECT_EQ(out.str(), "\n" + c.branch + "\n\nc\nOutfile file leafname => " + c.leaf +
                             "\n fullname => D:\\tracks/" + c.leaf + ".wav\n");
  }
}

TEST(OutputNames, CalibrationFileAndEmptyDirectory) {
  struct Case {
    SignalMode mode;
    std::string directory;
    std::string leaf, full_path;
  };
  const Case cases[] = {
      {SignalMode::Check, "D:\\tracks", "MPXcalibration.wav", "D:\\tracks/MPXcalibration.wav"},
      {SignalMode::Check, "", "MPXcalibration.wav", "/MPXcalibration.wav"},
      {SignalMode::Mono, "", "MPX_M400Hz000dBd24bit", "/MPX_M400Hz000dBd24bit.wav"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.full_path);
    GeneratorSettings settings;
    settings.mode_number = static_cast<std::int32_t>(c.mode);
    settings.output_directory = c.directory;
    std::ostringstream out;
    make_output_names(settings, out);
    EXPECT_EQ(settings.leaf_name, c.leaf);
    EXPECT_EQ(settings.full_path, c.full_path);
  }
  GeneratorSettings check;
  check.mode_number = static_cast<std::int32_t>(SignalMode::Check);
  check.output_directory = "out";
  std::ostringstream out;
  make_output_names(check, out);
  EXPECT_EQ(out.str(), "Outfile file leafname => MPXcalibration.wav\n fullname => "
                       "out/MPXcalibration.wav\n");
}

}  // namespace
}  // namespace mpx
