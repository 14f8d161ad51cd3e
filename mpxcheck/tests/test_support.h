#pragma once

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

// Paths handed in by CMake; an empty one means the tool is not there.
inline const std::string mpxcheck_exe = MPXCHECK_EXE;
inline const std::string mpxtone_exe = MPXTONE_EXE;
inline const std::string python_exe = MPXCHECK_PYTHON;
inline const std::string make_mpx_script = MPXCHECK_MAKE_MPX;
inline const std::string xmllint_exe = MPXCHECK_XMLLINT;
inline const std::string rsvg_convert_exe = MPXCHECK_RSVG_CONVERT;

// Largest file any program started by a test may write (ulimit -f), and the size of the tmpfs
// each scratch folder is mounted as when the test may mount one.
inline constexpr std::size_t child_file_limit_bytes = 16u << 20;
inline constexpr std::size_t scratch_tmpfs_bytes = 96u << 20;
// Files larger than this go only into a size-limited (tmpfs) scratch folder.
inline constexpr std::size_t unlimited_scratch_file_bytes = 4u << 20;

// A private temporary folder, removed with everything in it when the test ends. It is a small
// tmpfs when mounting works (running as root), so that a runaway write cannot fill the disk.
class ScratchDir {
 public:
  ScratchDir();
  ~ScratchDir();
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(const std::string& name) const { return path_ / name; }
  bool size_limited() const { return mounted_; }

 private:
  std::filesystem::path path_;
  bool mounted_ = false;
};

struct RunResult {
  int exit_status = -1;  // -1: killed by a signal
  std::string out;
  std::string err;
};

// Runs a program with `arguments` in `folder`, feeding `input` on stdin, capturing its output;
// files it writes are capped at child_file_limit_bytes.
RunResult run_program(const std::vector<std::string>& arguments, const ScratchDir& folder,
                      const std::string& input = "");

RunResult run_mpxcheck(const std::vector<std::string>& arguments, const ScratchDir& folder);

// Writes a test file with make_mpx.py; `options` are its command-line options.
// Returns false (and records a test failure) if the generator failed.
bool make_test_file(const std::filesystem::path& out, const std::vector<std::string>& options,
                    const ScratchDir& folder);

// One value of a flat JSON object: a number, a string or null (arrays are kept as raw text).
struct JsonValue {
  bool is_null = false;
  std::optional<double> number;
  std::optional<std::string> text;
};
using JsonObject = std::map<std::string, JsonValue>;

// Parses the flat object mpxcheck --json prints; empty on malformed text.
std::optional<JsonObject> parse_flat_json(const std::string& text);

std::string read_file(const std::filesystem::path& path);
