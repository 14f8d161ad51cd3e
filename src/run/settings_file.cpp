#include "run/settings_file.h"

#include <cerrno>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <limits>

#include "run/app_paths.h"
#include "run/console.h"
#include "run/scanner.h"

namespace mpx {
namespace {

struct DurationField {
  const char* name;
  std::int32_t GeneratorSettings::*field;
};

constexpr DurationField duration_fields[] = {
    {"lead_in_seconds", &GeneratorSettings::lead_in_seconds},
    {"tone_seconds", &GeneratorSettings::tone_seconds},
    {"lead_out_seconds", &GeneratorSettings::lead_out_seconds},
};

void check_correction(const char* name, double value) {
  if (!std::isfinite(value)) {
    throw RunError(format("Settings field %s is %s, which is not a finite number", name,
                          non_finite_text(value).c_str()));
  }
}

void check_durations(const GeneratorSettings& settings) {
  std::int64_t total = 0;
  for (const auto& duration : duration_fields) {
    const std::int32_t seconds = settings.*duration.field;
    if (seconds < 0) {
      throw RunError(format("Settings field %s is %ld: a duration cannot be negative",
                            duration.name, static_cast<long>(seconds)));
    }
    total += seconds;
  }
  if (total > max_total_seconds) {
    throw RunError(
        format("Settings durations add up to %lld seconds: a WAV file holds at most "
               "%lld seconds of this format (32-bit RIFF sizes)",
               static_cast<long long>(total), static_cast<long long>(max_total_seconds)));
  }
}

}  // namespace

void read_settings_file(GeneratorSettings& settings, std::istream& in, std::ostream& out) {
  Scanner scanner(*in.rdbuf());

  if (auto directory = scanner.read_token()) settings.output_directory = std::move(*directory);
  print(out, "Output to directory = %s\n", settings.output_directory.c_str());

  for (const auto& duration : duration_fields) {
    const auto seconds = scanner.read_integer();
    if (!seconds) continue;  // the offending text stays and fails the later fields too
    if (*seconds < std::numeric_limits<std::int32_t>::min() ||
        *seconds > std::numeric_limits<std::int32_t>::max()) {
      throw RunError(format("Settings field %s is %lld, which does not fit 32 bits", duration.name,
                            static_cast<long long>(*seconds)));
    }
    settings.*duration.field = static_cast<std::int32_t>(*seconds);
  }

  // The two corrections are one conversion: the second is read only if the first was.
  if (const auto phase = scanner.read_real()) {
    settings.subcarrier_phase_correction = *phase;
    if (const auto amplitude = scanner.read_real()) {
      settings.subcarrier_amplitude_correction = *amplitude;
    }
  }
  print(out, "Subcarrier corrections => %6.3lf phase %6.3lf amplitude\n",
        settings.subcarrier_phase_correction, settings.subcarrier_amplitude_correction);

  check_correction("subcarrier_phase_correction", settings.subcarrier_phase_correction);
  check_correction("subcarrier_amplitude_correction", settings.subcarrier_amplitude_correction);
  check_durations(settings);
}

void load_settings_file(GeneratorSettings& settings, std::ostream& out) {
  const auto path = path_from_utf8(settings.settings_path);
  std::error_code ignored;
  if (std::filesystem::is_directory(path, ignored)) {
    throw RunError(format("cannot open Settings file '%s': %s", settings.settings_path.c_str(),
                          os_reason(EISDIR).c_str()));
  }
  std::ifstream file;
  errno = 0;
  file.open(path, std::ios::in);
  if (!file.is_open()) {
    const int reason = errno;
    throw RunError(format("cannot open Settings file '%s': %s", settings.settings_path.c_str(),
                          reason ? os_reason(reason).c_str() : "unknown reason"));
  }
  read_settings_file(settings, file, out);
  if (file.bad()) {
    throw RunError(format("cannot read Settings file '%s'", settings.settings_path.c_str()));
  }
}

}  // namespace mpx
