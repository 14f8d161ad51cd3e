// Files mpxcheck cannot analyse: each must end with exit status 2 and one clear line on stderr.
#include <gtest/gtest.h>

#include <fstream>

#include "test_support.h"

namespace {

struct BadCase {
  std::string name;
  std::string literal_content;                 // written as is when there are no generator options
  std::vector<std::string> generator_options;  // for make_mpx.py
  std::vector<std::string> extra_arguments;    // for mpxcheck, after the file name
  std::string reason;                          // must appear in the message
};

void PrintTo(const BadCase& c, std::ostream* out) { *out << c.name; }

const std::vector<BadCase> bad_cases = {
    // A text file.
    {"text", "This is not a sound file.\n", {}, {}, "not a WAV file"},
    // An empty file.
    {"empty", "", {}, {}, "not a WAV file"},
    // A WAV file cut off in its data chunk.
    {"truncated_data", "", {"--truncate", "0.5"}, {}, "truncated"},
    // A WAV file cut off before its data chunk.
    {"truncated_header", "", {"--truncate", "0.00001"}, {}, "no data chunk"},
    // An RF64 file cut off in its data chunk.
    {"truncated_rf64", "", {"--container", "rf64", "--truncate", "0.7"}, {}, "truncated"},
    // 48 kHz cannot hold the 38 kHz subband.
    {"rate_48khz", "", {"--layout", "plain-tone", "--rate", "48000"}, {}, "48000 Hz is below"},
    // Digital silence (with dither) only.
    {"silence", "", {"--layout", "silence", "--channels", "2"}, {}, "only silence"},
    // A mono 1 kHz tone: no pilot.
    {"mono_without_pilot", "", {"--layout", "plain-tone"}, {}, "no 19 kHz pilot found"},
    // A multiplex file asked about a channel it does not have.
    {"missing_channel", "", {"--mode", "L"}, {"--channel", "3"}, "the file has 2 channels"},
    // Channel 1 of an mpxtone-like file holds the sum signal, not a composite.
    {"sum_channel", "", {"--mode", "L"}, {"--channel", "1"}, "no 19 kHz pilot found in channel 1"},
};

class BadFileTest : public ::testing::TestWithParam<BadCase> {
 protected:
  ScratchDir scratch;
};

TEST_P(BadFileTest, RefusedWithExitStatus2) {
  const BadCase& c = GetParam();
  SCOPED_TRACE(c.name);
  const auto file = scratch / (c.name + ".wav");
  if (c.generator_options.empty()) {
    std::ofstream(file, std::ios::binary) << c.literal_content;
  } else {
    if (python_exe.empty()) GTEST_SKIP() << "no python3 with numpy to write test files";
    ASSERT_TRUE(make_test_file(file, c.generator_options, scratch));
  }
  std::vector<std::string> arguments = {file.string()};
  arguments.insert(arguments.end(), c.extra_arguments.begin(), c.extra_arguments.end());
  const RunResult run = run_mpxcheck(arguments, scratch);
  EXPECT_EQ(run.exit_status, 2);
  EXPECT_EQ(run.out, "");
  const std::string prefix = "mpxcheck: error: " + file.string() + ": ";
  EXPECT_EQ(run.err.rfind(prefix, 0), 0u) << run.err;
  EXPECT_NE(run.err.find(c.reason), std::string::npos) << run.err;
  EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << "not one line: " << run.err;
}

INSTANTIATE_TEST_SUITE_P(Files, BadFileTest, ::testing::ValuesIn(bad_cases),
                         [](const auto& info) { return info.param.name; });

TEST(BadFileTest, MissingFileIsNamed) {
  ScratchDir scratch;
  const RunResult run = run_mpxcheck({"absent.wav"}, scratch);
  EXPECT_EQ(run.exit_status, 2);
  EXPECT_EQ(run.err, "mpxcheck: error: absent.wav: no such file\n");
}

TEST(BadFileTest, UnwritablePlotIsAnError) {
  if (python_exe.empty()) GTEST_SKIP() << "no python3 with numpy to write test files";
  ScratchDir scratch;
  const auto file = scratch / "left.wav";
  ASSERT_TRUE(make_test_file(file, {}, scratch));
  const std::string plot = (scratch / "no-such-folder" / "plot.svg").string();
  const RunResult run = run_mpxcheck({file.string(), "--plot", plot}, scratch);
  EXPECT_EQ(run.exit_status, 2);
  EXPECT_EQ(run.err, "mpxcheck: error: " + plot + ": cannot write the plot\n");
}

}  // namespace
