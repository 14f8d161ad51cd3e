// Formatted reading that behaves like the C library's scanf conversions (" %c", "%ld", "%lf",
// "%s"): each skips leading white space, takes as much as forms a value, and on failure leaves
// the field to the caller unchanged and the offending text in the input for the next read.
//
// It reads through a std::streambuf one character ahead, so an interactive console is never
// asked for more than the answer at hand. Like glibc, a few failures swallow the characters
// already looked at (a lone sign, a broken "inf" or "nan").
#pragma once

#include <cstdint>
#include <optional>
#include <streambuf>
#include <string>

namespace mpx {

class Scanner {
 public:
  explicit Scanner(std::streambuf& source) : source_(&source) {}

  // " %c": the next character that is not white space.
  std::optional<char> read_char();
  // "%ld" on a 64-bit long: decimal digits with an optional sign, clamped to the int64 range.
  std::optional<std::int64_t> read_integer();
  // "%lf": decimal or hexadecimal real numbers, inf, infinity and nan in any case.
  std::optional<double> read_real();
  // "%s": a run of characters without white space.
  std::optional<std::string> read_token();

  // Characters taken from the input so far.
  std::uint64_t consumed() const { return consumed_; }

 private:
  int peek();
  int take();
  bool skip_space();  // false at end of input
  bool take_expected(char lower);

  std::streambuf* source_;
  std::uint64_t consumed_ = 0;
};

}  // namespace mpx
