#include "run/console.h"

#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <vector>

namespace mpx {
namespace {

std::string vformat(const char* pattern, std::va_list args) {
  std::va_list copy;
  va_copy(copy, args);
  const int length = std::vsnprintf(nullptr, 0, pattern, copy);
  va_end(copy);
  if (length <= 0) return {};
  std::vector<char> text(static_cast<std::size_t>(length) + 1);
  std::vsnprintf(text.data(), text.size(), pattern, args);
  return std::string(text.data(), static_cast<std::size_t>(length));
}

}  // namespace

std::string format(const char* pattern, ...) {
  std::va_list args;
  va_start(args, pattern);
  std::string text = vformat(pattern, args);
  va_end(args);
  return text;
}

void print(std::ostream& out, const char* pattern, ...) {
  std::va_list args;
  va_start(args, pattern);
  out << vformat(pattern, args);
  va_end(args);
}

void prompt(std::ostream& out, const char* text) { out << text << std::flush; }

std::string non_finite_text(double value) {
  const char* sign = std::signbit(value) ? "-" : "";
  return std::string(sign) + (std::isnan(value) ? "nan" : "inf");
}

std::string os_reason(int error_number) { return std::strerror(error_number); }

}  // namespace mpx
