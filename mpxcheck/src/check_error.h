#pragma once

#include <stdexcept>

// A reason why a file cannot be analysed. main() prints it as one line on stderr and ends with
// exit status 2; the text names the problem, the caller adds the file name.
struct CheckError : std::runtime_error {
  using std::runtime_error::runtime_error;
};
