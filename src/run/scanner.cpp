#include "run/scanner.h"

#include <cerrno>
#include <cstdlib>
#include <limits>

namespace mpx {
namespace {

constexpr int end_of_input = std::char_traits<char>::eof();

// White space and character classes of the "C" locale, independent of the host's locale.
bool is_space(int c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}
bool is_digit(int c) { return c >= '0' && c <= '9'; }
bool is_hex_digit(int c) { return is_digit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }
int to_lower(int c) { return (c >= 'A' && c <= 'Z') ? c - 'A' + 'a' : c; }

}  // namespace

int Scanner::peek() { return source_->sgetc(); }

int Scanner::take() {
  const int c = source_->sbumpc();
  if (c != end_of_input) ++consumed_;
  return c;
}

bool Scanner::skip_space() {
  while (is_space(peek())) take();
  return peek() != end_of_input;
}

// Takes the next character and tells whether it was the expected letter (any case). The
// character is gone either way, as when the C library fails in the middle of "inf" or "nan".
bool Scanner::take_expected(char lower) {
  const int c = take();
  return c != end_of_input && to_lower(c) == lower;
}

std::optional<char> Scanner::read_char() {
  if (!skip_space()) return std::nullopt;
  return static_cast<char>(take());
}

std::optional<std::string> Scanner::read_token() {
  if (!skip_space()) return std::nullopt;
  std::string token;
  while (peek() != end_of_input && !is_space(peek())) token.push_back(static_cast<char>(take()));
  return token;
}

std::optional<std::int64_t> Scanner::read_integer() {
  if (!skip_space()) return std::nullopt;
  std::string text;
  if (peek() == '-' || peek() == '+') text.push_back(static_cast<char>(take()));
  while (is_digit(peek())) text.push_back(static_cast<char>(take()));
  if (text.empty() || text == "-" || text == "+") return std::nullopt;

  // Out-of-range numbers saturate, as strtol does.
  errno = 0;
  const long long value = std::strtoll(text.c_str(), nullptr, 10);
  return static_cast<std::int64_t>(value);
}

std::optional<double> Scanner::read_real() {
  if (!skip_space()) return std::nullopt;
  std::string text;
  auto accept = [&] { text.push_back(static_cast<char>(take())); };

  if (peek() == '-' || peek() == '+') {
    accept();
    if (peek() == end_of_input) return std::nullopt;
  }

  const int first = to_lower(peek());
  if (first == 'n') {
    accept();
    for (char expected : {'a', 'n'}) {
      if (!take_expected(expected)) return std::nullopt;
      text.push_back(expected);
    }
  } else if (first == 'i') {
    accept();
    for (char expected : {'n', 'f'}) {
      if (!take_expected(expected)) return std::nullopt;
      text.push_back(expected);
    }
    // "inf" may go on to "infinity"; once past "inf" an 'i' commits to the whole word.
    if (to_lower(peek()) == 'i') {
      accept();
      for (char expected : {'n', 'i', 't', 'y'}) {
        if (!take_expected(expected)) return std::nullopt;
        text.push_back(expected);
      }
    }
  } else {
    char exponent_letter = 'e';
    bool hexadecimal = false;
    bool got_digit = false;
    bool got_dot = false;
    bool got_exponent = false;
    if (peek() == '0') {
      accept();
      if (to_lower(peek()) == 'x') {
        accept();
        hexadecimal = true;
        exponent_letter = 'p';
      } else {
        got_digit = true;
      }
    }
    for (;;) {
      const int c = peek();
      if (c == end_of_input) break;
      if (is_digit(c) || (!got_exponent && hexadecimal && is_hex_digit(c))) {
        accept();
        got_digit = true;
      } else if (got_exponent && text.back() == exponent_letter && (c == '-' || c == '+')) {
        accept();
      } else if (got_digit && !got_exponent && to_lower(c) == exponent_letter) {
        take();
        text.push_back(exponent_letter);
        got_exponent = got_dot = true;
      } else if (!got_exponent && !got_dot && c == '.') {
        accept();
        got_dot = true;
      } else {
        break;
      }
    }
    // Nothing after "0x" is no number, though "0x." still reads as zero.
    if (hexadecimal && to_lower(text.back()) == 'x') return std::nullopt;
  }

  // The collected text may end in an incomplete exponent ("1e+"); the conversion then takes the
  // longest valid number at its start, and fails only if there is none.
  char* end = nullptr;
  errno = 0;
  const double value = std::strtod(text.c_str(), &end);
  if (end == text.c_str()) return std::nullopt;
  return value;
}

}  // namespace mpx
