#include "options.h"

#include <charconv>

#include "check_error.h"

namespace {

int parse_channel(const std::string& text) {
  int channel = 0;
  const char* end = text.data() + text.size();
  const auto result = std::from_chars(text.data(), end, channel);
  if (result.ec != std::errc{} || result.ptr != end || channel < 1) {
    throw CheckError("--channel needs a channel number from 1 up, not '" + text + "'");
  }
  return channel;
}

// Splits "--name=value" into name and value; a plain "--name" gives no value.
struct OptionWord {
  std::string name;
  std::optional<std::string> value;
};

OptionWord split_option(const std::string& word) {
  const auto equals = word.find('=');
  if (equals == std::string::npos) return {word, std::nullopt};
  return {word.substr(0, equals), word.substr(equals + 1)};
}

}  // namespace

Options parse_options(std::span<const std::string> arguments) {
  Options options;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& word = arguments[i];
    if (word == "-h" || word == "--help") {
      options.help = true;
      continue;
    }
    if (word.size() > 1 && word[0] == '-') {
      OptionWord option = split_option(word);
      const bool takes_value = option.name == "--channel" || option.name == "--plot";
      if (takes_value && !option.value) {
        if (i + 1 >= arguments.size()) throw CheckError(option.name + " needs a value");
        option.value = arguments[++i];
      }
      if (option.name == "--channel") {
        options.channel = parse_channel(*option.value);
      } else if (option.name == "--plot") {
        if (option.value->empty()) throw CheckError("--plot needs a file name");
        options.plot_path = *option.value;
      } else if (option.name == "--json" && !option.value) {
        options.json = true;
      } else {
        throw CheckError("unknown option '" + word + "'");
      }
      continue;
    }
    if (!options.input_path.empty()) {
      throw CheckError("one input file only, got '" + options.input_path + "' and '" + word + "'");
    }
    options.input_path = word;
  }
  if (options.input_path.empty() && !options.help) throw CheckError("no input file given");
  return options;
}
