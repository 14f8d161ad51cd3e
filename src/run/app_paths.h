// Where the program lives: its folder holds the Settings file.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace mpx {

// The start path up to its last separator (the separator dropped), or nothing when it has none.
// Windows cuts at the last backslash; elsewhere at the last '/' or '\', whichever comes later.
std::optional<std::string> directory_part(std::string_view program_path);

// The folder of the running executable as the operating system reports it, else the current
// folder. Used when the program was started by name alone (found through PATH).
std::string executable_directory();

// directory_part of the start path, falling back to executable_directory.
std::string application_directory_for(std::string_view program_path);

// Paths are kept as UTF-8 text; this turns one into a path the file system APIs accept
// (wide characters on Windows).
std::filesystem::path path_from_utf8(const std::string& text);

}  // namespace mpx
