// Feeds arbitrary bytes to the operator dialogue and the Settings reader. Whatever the input,
// neither may crash or trip a sanitizer, and every field must end in a value a file can be made
// from, or the run must be refused with a RunError.
//
// The input is split at the first NUL byte: the dialogue's answers, then the Settings file.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

#include "constants.h"
#include "run/console.h"
#include "run/dialogue.h"
#include "run/settings_file.h"

namespace {

void require(bool condition) {
  if (!condition) std::abort();
}

void check_dialogue(const mpx::GeneratorSettings& s) {
  const bool tone_mode = s.mode_number >= 1 && s.mode_number <= 4;
  require(tone_mode || s.mode_number == 10);
  require(std::string("MLRAC").find(s.mode_letter) != std::string::npos);
  require(std::isfinite(s.amplitude_percent) && std::isfinite(s.amplitude));
  require(s.amplitude == s.amplitude_percent / 100.0);
  require(s.tone_frequency == std::trunc(s.tone_frequency));
  require(s.tone_frequency >= mpx::min_tone_frequency_hz &&
          s.tone_frequency <= mpx::max_tone_frequency_hz);
}

void check_settings(const mpx::GeneratorSettings& s) {
  require(s.lead_in_seconds >= 0 && s.tone_seconds >= 0 && s.lead_out_seconds >= 0);
  require(std::int64_t{s.lead_in_seconds} + s.tone_seconds + s.lead_out_seconds <=
          mpx::max_total_seconds);
  require(std::isfinite(s.subcarrier_phase_correction));
  require(std::isfinite(s.subcarrier_amplitude_correction));
  require(s.output_directory.find_first_of(" \t\n\v\f\r") == std::string::npos);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  const std::size_t split = input.find('\0');
  std::istringstream answers(input.substr(0, split));
  std::istringstream settings_text(split == std::string::npos ? "" : input.substr(split + 1));
  std::ostringstream transcript;

  mpx::GeneratorSettings settings;
  try {
    mpx::configure_signal(settings, answers, transcript);
    check_dialogue(settings);
  } catch (const mpx::RunError&) {
  }
  try {
    mpx::read_settings_file(settings, settings_text, transcript);
    check_settings(settings);
  } catch (const mpx::RunError&) {
  }
  return 0;
}
