#include "run/settings_file.h"

#include <gtest/gtest.h>

#include <sstream>

#include "run/console.h"

namespace mpx {
namespace {

TEST(SettingsFile, FieldsAndMessages) {
  struct Case {
    const char* what;
    std::string text;
    std::string directory;
    std::int32_t lead_in, tone, lead_out;
    double phase, gain;
    std::string transcript;
  };
  const Case cases[] = {
      {"six lines", "D:\\tracks\n2\n30\n2\n0.05\n1.02\n", "D:\\tracks", 2, 30, 2, 0.05, 1.02,
       "Output to directory = D:\\tracks\nSubcarrier corrections =>  0.050 phase  1.020 "
       "amplitude\n"},
      {"one line", "D:\\tracks 2 30 2 0.05 1.02", "D:\\tracks", 2, 30, 2, 0.05, 1.02,
       "Output to directory = D:\\tracks\nSubcarrier corrections =>  0.050 phase  1.020 "
       "amplitude\n"},
      {"tabs and CR LF", "out\r\n\t1\r\n3\t1 -0.1 0.5 trailing words", "out", 1, 3, 1, -0.1, 0.5,
       "Output to directory = out\nSubcarrier corrections => -0.100 phase  0.500 amplitude\n"},
      {"directory only", "tracks\n", "tracks", 0, 0, 0, 0.0, 0.0,
       "Output to directory = tracks\nSubcarrier corrections =>  0.000 phase  0.000 "
       "amplitude\n"},
      {"empty file", "", "", 0, 0, 0, 0.0, 0.0,
       "Output to directory = \nSubcarrier corrections =>  0.000 phase  0.000 amplitude\n"},
      // 5.5 reads 5; ".5" stops both later integers, then the reals take .5 and the next token.
      {"5.5 as lead-in", "out 5.5 30 2 0.05 1.02", "out", 5, 0, 0, 0.5, 30.0,
       "Output to directory = out\nSubcarrier corrections =>  0.500 phase 30.000 amplitude\n"},
      // A word in place of the tone stops every later field.
      {"word as tone", "out 2 thirty 2 0.05 1.02", "out", 2, 0, 0, 0.0, 0.0,
       "Output to directory = out\nSubcarrier corrections =>  0.000 phase  0.000 amplitude\n"},
      // The two reals are one conversion: no amplitude without a phase.
      {"broken phase", "out 1 1 1 nax 1.02", "out", 1, 1, 1, 0.0, 0.0,
       "Output to directory = out\nSubcarrier corrections =>  0.000 phase  0.000 amplitude\n"},
      {"total just inside", "out 1 3726 1 0 1", "out", 1, 3726, 1, 0.0, 1.0,
       "Output to directory = out\nSubcarrier corrections =>  0.000 phase  1.000 amplitude\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    GeneratorSettings settings;
    std::istringstream in(c.text);
    std::ostringstream out;
    read_settings_file(settings, in, out);
    EXPECT_EQ(settings.output_directory, c.directory);
    EXPECT_EQ(settings.lead_in_seconds, c.lead_in);
    EXPECT_EQ(settings.tone_seconds, c.tone);
    EXPECT_EQ(settings.lead_out_seconds, c.lead_out);
    EXPECT_DOUBLE_EQ(settings.subcarrier_phase_correction, c.phase);
    EXPECT_DOUBLE_EQ(settings.subcarrier_amplitude_correction, c.gain);
    EXPECT_EQ(out.str(), c.transcript);
  }
}

TEST(SettingsFile, RefusedValues) {
  struct Case {
    const char* what;
    std::string text;
    std::string message;
  };
  const Case cases[] = {
      {"negative lead-in", "out -1 30 2 0 1",
       "Settings field lead_in_seconds is -1: a duration cannot be negative"},
      {"negative lead-out", "out 1 30 -2 0 1",
       "Settings field lead_out_seconds is -2: a duration cannot be negative"},
      {"beyond 32 bits", "out 1 4294967297 1 0 1",
       "Settings field tone_seconds is 4294967297, which does not fit 32 bits"},
      {"total too long", "out 1 3727 1 0 1",
       "Settings durations add up to 3729 seconds: a WAV file holds at most 3728 seconds of "
       "this format (32-bit RIFF sizes)"},
      {"not-a-number phase", "out 1 1 1 nan 1",
       "Settings field subcarrier_phase_correction is nan, which is not a finite number"},
      {"infinite gain", "out 1 1 1 0 -inf",
       "Settings field subcarrier_amplitude_correction is -inf, which is not a finite number"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    GeneratorSettings settings;
    std::istringstream in(c.text);
    std::ostringstream out;
    try {
      read_settings_file(settings, in, out);
      ADD_FAILURE() << "accepted";
    } catch (const RunError& error) {
      EXPECT_EQ(std::string(error.what()), c.message);
    }
  }
}

}  // namespace
}  // namespace mpx
