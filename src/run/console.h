// Console messages and the one error type of a run.
#pragma once

#include <ostream>
#include <stdexcept>
#include <string>

namespace mpx {

// A failure that ends the run; main reports it once, on standard error.
struct RunError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// printf-style formatting, so every message keeps its exact field widths and decimals.
#if defined(__GNUC__)
__attribute__((format(printf, 1, 2)))
#endif
std::string
format(const char* pattern, ...);

#if defined(__GNUC__)
__attribute__((format(printf, 2, 3)))
#endif
void print(std::ostream& out, const char* pattern, ...);

// A prompt that ends without a newline: shown before the program waits for the answer.
void prompt(std::ostream& out, const char* text);

// A value that is not a finite number, spelled the same on every platform: inf, -inf, nan, -nan.
std::string non_finite_text(double value);

// The operating system's reason for the last failed call (errno), as text.
std::string os_reason(int error_number);

}  // namespace mpx
