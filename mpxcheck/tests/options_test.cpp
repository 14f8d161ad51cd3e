#include "options.h"

#include <gtest/gtest.h>

#include "check_error.h"

namespace {

struct OptionCase {
  std::string name;
  std::vector<std::string> arguments;
  std::string error;  // empty: accepted
  Options expected;
};

const std::vector<OptionCase> option_cases = {
    // The file alone.
    {"file_only", {"a.wav"}, "", {"a.wav", std::nullopt, std::nullopt, false, false}},
    // Every option, in both spellings, before and after the file.
    {"all_options",
     {"--json", "--channel", "2", "a.wav", "--plot=p.svg"},
     "",
     {"a.wav", 2, "p.svg", true, false}},
    {"channel_with_equals", {"--channel=1", "a.wav"}, "", {"a.wav", 1, std::nullopt, false, false}},
    // Help needs no file.
    {"help", {"--help"}, "", {"", std::nullopt, std::nullopt, false, true}},
    // Errors.
    {"no_file", {"--json"}, "no input file given", {}},
    {"two_files", {"a.wav", "b.wav"}, "one input file only", {}},
    {"channel_zero", {"--channel", "0", "a.wav"}, "--channel needs a channel number", {}},
    {"channel_text", {"--channel", "2x", "a.wav"}, "--channel needs a channel number", {}},
    {"channel_without_value", {"a.wav", "--channel"}, "--channel needs a value", {}},
    {"unknown_option", {"a.wav", "--verbose"}, "unknown option '--verbose'", {}},
    {"json_with_value", {"a.wav", "--json=yes"}, "unknown option '--json=yes'", {}},
};

TEST(OptionsTest, ParsesOrExplains) {
  for (const OptionCase& c : option_cases) {
    SCOPED_TRACE(c.name);
    if (!c.error.empty()) {
      try {
        parse_options(c.arguments);
        ADD_FAILURE() << "accepted";
      } catch (const CheckError& error) {
        EXPECT_NE(std::string(error.what()).find(c.error), std::string::npos) << error.what();
      }
      continue;
    }
    const Options options = parse_options(c.arguments);
    EXPECT_EQ(options.input_path, c.expected.input_path);
    EXPECT_EQ(options.channel, c.expected.channel);
    EXPECT_EQ(options.plot_path, c.expected.plot_path);
    EXPECT_EQ(options.json, c.expected.json);
    EXPECT_EQ(options.help, c.expected.help);
  }
}

}  // namespace
