#include "run/app_paths.h"

#include <system_error>

#if defined(_WIN32)
#include <windows.h>
#endif

namespace mpx {

std::optional<std::string> directory_part(std::string_view program_path) {
#if defined(_WIN32)
  const auto cut = program_path.find_last_of('\\');
#else
  const auto cut = program_path.find_last_of("/\\");
#endif
  if (cut == std::string_view::npos) return std::nullopt;
  return std::string(program_path.substr(0, cut));
}

std::filesystem::path path_from_utf8(const std::string& text) {
  return std::filesystem::path(std::u8string(text.begin(), text.end()));
}

namespace {

std::string utf8_from_path(const std::filesystem::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

}  // namespace

std::string executable_directory() {
  std::error_code error;
#if defined(_WIN32)
  std::wstring buffer(32768, L'\0');
  const DWORD length =
      GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
  if (length > 0 && length < buffer.size()) {
    buffer.resize(length);
    return utf8_from_path(std::filesystem::path(buffer).parent_path());
  }
#else
  const auto executable = std::filesystem::read_symlink("/proc/self/exe", error);
  if (!error) return utf8_from_path(executable.parent_path());
#endif
  const auto current = std::filesystem::current_path(error);
  return error ? std::string(".") : utf8_from_path(current);
}

std::string application_directory_for(std::string_view program_path) {
  if (auto directory = directory_part(program_path)) return *directory;
  return executable_directory();
}

}  // namespace mpx
