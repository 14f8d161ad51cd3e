#include "support/test_support.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

extern char** environ;

namespace mpx::testing {

namespace fs = std::filesystem;

TempDir::TempDir() {
  std::string pattern = (fs::temp_directory_path() / "mpxtone-test-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
}

TempDir::~TempDir() {
  std::error_code ignored;
  // Restore write permission on folders a test made read-only, so everything can go.
  for (auto it = fs::recursive_directory_iterator(path_, ignored);
       it != fs::recursive_directory_iterator(); it.increment(ignored)) {
    if (it->is_directory(ignored))
      fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ignored);
  }
  fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ignored);
  fs::remove_all(path_, ignored);
}

std::string read_file(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path.string());
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

void write_file(const fs::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary);
  out << bytes;
  if (!out) throw std::runtime_error("cannot write " + path.string());
}

RunningProcess start_process(const std::vector<std::string>& command, const std::string& input,
                             const fs::path& working_dir, const TempDir& io) {
  const fs::path in_path = io.path() / "stdin";
  write_file(in_path, input);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, in_path.c_str(), O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, (io.path() / "stdout").c_str(),
                                   O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addopen(&actions, 2, (io.path() / "stderr").c_str(),
                                   O_WRONLY | O_CREAT | O_TRUNC, 0644);
  std::vector<char*> argv;
  for (const auto& word : command) argv.push_back(const_cast<char*>(word.c_str()));
  argv.push_back(nullptr);

  const fs::path previous = fs::current_path();
  fs::current_path(working_dir);
  pid_t pid = 0;
  const int spawned = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  fs::current_path(previous);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) throw std::runtime_error("cannot start " + command.front());
  return {pid, io.path()};
}

namespace {

// Line ends as on Linux: a Windows program writes CR LF to its console in text mode.
std::string unix_line_ends(const std::string& text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    out.push_back(text[i]);
  }
  return out;
}

bool testing_a_windows_program() {
  const char* exe = std::getenv("MPXTONE_EXE");
  return exe != nullptr && fs::path(exe).extension() == ".exe";
}

}  // namespace

ProcessResult finish_process(const RunningProcess& process, int* signal) {
  int status = 0;
  waitpid(process.pid, &status, 0);
  ProcessResult result;
  result.exit_status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  if (signal != nullptr) *signal = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
  result.out = read_file(process.io_dir / "stdout");
  result.err = read_file(process.io_dir / "stderr");
  if (testing_a_windows_program()) {
    result.out = unix_line_ends(result.out);
    result.err = unix_line_ends(result.err);
  }
  return result;
}

ProcessResult run_process(const std::vector<std::string>& command, const std::string& input,
                          const fs::path& working_dir) {
  TempDir io;
  return finish_process(start_process(command, input, working_dir, io));
}

ProgramUnderTest program_under_test() {
  ProgramUnderTest program;
  if (const char* exe = std::getenv("MPXTONE_EXE")) program.executable = exe;
  if (const char* launcher = std::getenv("MPXTONE_LAUNCHER")) program.launcher = launcher;
  program.windows = program.executable.extension() == ".exe";
  if (program.executable.empty()) throw std::runtime_error("MPXTONE_EXE is not set");
  return program;
}

namespace {

void install_into(Installation& installation, const fs::path& program_folder,
                  const std::string& settings_text) {
  const ProgramUnderTest program = program_under_test();
  installation.program = program_folder / program.executable.filename();
  fs::copy_file(program.executable, installation.program);
  write_file(program_folder / "Settings", settings_text);
}

}  // namespace

void install_program(Installation& installation, const std::string& settings_text) {
  install_into(installation, installation.dir.path(), settings_text);
}

void install_program_in(Installation& installation, const fs::path& folder,
                        const std::string& settings_text) {
  fs::create_directories(installation.dir.path() / folder);
  install_into(installation, installation.dir.path() / folder, settings_text);
}

std::vector<std::string> installed_command(const Installation& installation) {
  const ProgramUnderTest program = program_under_test();
  std::vector<std::string> command;
  if (!program.launcher.empty()) command.push_back(program.launcher);
  command.push_back(installation.program.string());
  return command;
}

ProcessResult run_installed(const Installation& installation, const std::string& answers) {
  return run_process(installed_command(installation), answers, installation.program.parent_path());
}

std::string reported_path(const fs::path& path) {
  if (!program_under_test().windows) return path.string();
  std::string text = "Z:" + path.string();
  for (char& c : text) {
    if (c == '/') c = '\\';
  }
  return text;
}

}  // namespace mpx::testing
