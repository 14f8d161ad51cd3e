// mpxtone: writes FM stereo multiplex test-signal WAV files (2 channels, 192 kHz, 24-bit).
#include <cstdio>
#include <exception>
#include <iostream>
#include <string>

#include "run/console.h"
#include "run/generator_settings.h"
#include "run/run_generator.h"

#if defined(_WIN32)
#include <windows.h>
#endif

namespace {

int run(const std::string& program_path) {
  mpx::GeneratorSettings settings;
  try {
    mpx::run_generator(settings, program_path, std::cin, std::cout);
  } catch (const std::exception& error) {
    std::cout.flush();
    std::cerr << "mpxtone: error: " << error.what() << '\n';
    return 1;
  }
  std::cout.flush();
  if (!std::cout) {
    std::cerr << "mpxtone: error: cannot write to standard output\n";
    return 1;
  }
  return 0;
}

}  // namespace

#if defined(_WIN32)
// Wide start arguments, so a program folder with non-ASCII characters reaches us intact.
int wmain(int argc, wchar_t** argv) {
  // Our text is UTF-8 (folder names included); the console is told so, and given back its own
  // code page on the way out, as the operator's window outlives the program.
  const UINT operator_code_page = GetConsoleOutputCP();
  SetConsoleOutputCP(CP_UTF8);
  std::string program_path;
  if (argc > 0) {
    const int length = WideCharToMultiByte(CP_UTF8, 0, argv[0], -1, nullptr, 0, nullptr, nullptr);
    if (length > 1) {
      program_path.resize(static_cast<std::size_t>(length - 1));
      WideCharToMultiByte(CP_UTF8, 0, argv[0], -1, program_path.data(), length, nullptr, nullptr);
    }
  }
  const int status = run(program_path);
  if (operator_code_page != 0) SetConsoleOutputCP(operator_code_page);
  return status;
}
#else
int main(int argc, char** argv) { return run(argc > 0 && argv[0] ? argv[0] : ""); }
#endif
