#pragma once

#include <optional>
#include <span>
#include <string>

inline constexpr const char* usage_text =
    "usage: mpxcheck FILE.wav [--channel N] [--plot FILE.svg] [--json]";

// What the command line asks for.
struct Options {
  std::string input_path;
  std::optional<int> channel;  // 1-based; empty: find the channel carrying the pilot
  std::optional<std::string> plot_path;
  bool json = false;
  bool help = false;
};

// Parses the arguments after the program name; throws CheckError naming the bad argument.
Options parse_options(std::span<const std::string> arguments);
