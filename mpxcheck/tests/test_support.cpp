#include "test_support.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <cstdlib>
#include <fstream>
#include <sstream>

ScratchDir::ScratchDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "mpxcheck-test-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
  const std::string options = "size=" + std::to_string(scratch_tmpfs_bytes) + ",mode=0700";
  mounted_ = mount("tmpfs", path_.c_str(), "tmpfs", MS_NOSUID | MS_NODEV, options.c_str()) == 0;
}

ScratchDir::~ScratchDir() {
  if (mounted_) umount2(path_.c_str(), MNT_DETACH);
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

std::string read_file(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

RunResult run_program(const std::vector<std::string>& arguments, const ScratchDir& folder,
                      const std::string& input) {
  const std::filesystem::path in_path = folder / ".stdin";
  const std::filesystem::path out_path = folder / ".stdout";
  const std::filesystem::path err_path = folder / ".stderr";
  std::ofstream(in_path, std::ios::binary) << input;
  std::vector<char*> argv;
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);

  const pid_t child = fork();
  if (child == 0) {
    const rlimit file_limit{child_file_limit_bytes, child_file_limit_bytes};
    const int in = open(in_path.c_str(), O_RDONLY);
    const int out = open(out_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int err = open(err_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (in < 0 || out < 0 || err < 0 || chdir(folder.path().c_str()) != 0 ||
        setrlimit(RLIMIT_FSIZE, &file_limit) != 0 || dup2(in, 0) < 0 || dup2(out, 1) < 0 ||
        dup2(err, 2) < 0) {
      _exit(127);
    }
    execv(argv[0], argv.data());
    _exit(127);
  }
  RunResult result;
  int status = 0;
  if (child < 0 || waitpid(child, &status, 0) != child) return result;
  result.exit_status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  result.out = read_file(out_path);
  result.err = read_file(err_path);
  return result;
}

RunResult run_mpxcheck(const std::vector<std::string>& arguments, const ScratchDir& folder) {
  std::vector<std::string> full = {mpxcheck_exe};
  full.insert(full.end(), arguments.begin(), arguments.end());
  return run_program(full, folder);
}

bool make_test_file(const std::filesystem::path& out, const std::vector<std::string>& options,
                    const ScratchDir& folder) {
  std::vector<std::string> arguments = {python_exe, make_mpx_script, "--out", out.string()};
  arguments.insert(arguments.end(), options.begin(), options.end());
  const RunResult run = run_program(arguments, folder);
  EXPECT_EQ(run.exit_status, 0) << "make_mpx.py failed: " << run.err;
  if (run.exit_status != 0) return false;
  if (!folder.size_limited()) {
    EXPECT_LE(std::filesystem::file_size(out), unlimited_scratch_file_bytes)
        << "a test file this large belongs in a size-limited folder";
  }
  return true;
}

namespace {

// A cursor over JSON text.
struct JsonReader {
  const std::string& text;
  std::size_t at = 0;

  void skip_space() {
    while (at < text.size() && std::isspace(static_cast<unsigned char>(text[at]))) ++at;
  }
  bool take(char c) {
    skip_space();
    if (at < text.size() && text[at] == c) {
      ++at;
      return true;
    }
    return false;
  }
  std::optional<std::string> string() {
    if (!take('"')) return std::nullopt;
    std::string out;
    while (at < text.size() && text[at] != '"') {
      if (text[at] == '\\' && at + 1 < text.size()) ++at;
      out += text[at++];
    }
    if (at >= text.size()) return std::nullopt;
    ++at;
    return out;
  }
  std::optional<JsonValue> value() {
    skip_space();
    JsonValue value;
    if (text.compare(at, 4, "null") == 0) {
      at += 4;
      value.is_null = true;
    } else if (at < text.size() && text[at] == '"') {
      value.text = string();
      if (!value.text) return std::nullopt;
    } else if (at < text.size() && text[at] == '[') {
      const std::size_t close = text.find(']', at);
      if (close == std::string::npos) return std::nullopt;
      value.text = text.substr(at, close + 1 - at);
      at = close + 1;
    } else {
      const char* begin = text.c_str() + at;
      char* end = nullptr;
      value.number = std::strtod(begin, &end);
      if (end == begin) return std::nullopt;
      at += static_cast<std::size_t>(end - begin);
    }
    return value;
  }
};

}  // namespace

std::optional<JsonObject> parse_flat_json(const std::string& text) {
  JsonReader reader{text};
  JsonObject object;
  if (!reader.take('{')) return std::nullopt;
  if (reader.take('}')) return object;
  do {
    const std::optional<std::string> key = reader.string();
    if (!key || !reader.take(':')) return std::nullopt;
    const std::optional<JsonValue> value = reader.value();
    if (!value) return std::nullopt;
    object[*key] = *value;
  } while (reader.take(','));
  if (!reader.take('}')) return std::nullopt;
  reader.skip_space();
  if (reader.at != text.size()) return std::nullopt;
  return object;
}
