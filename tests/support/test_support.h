// Small helpers shared by the tests: temporary folders, whole files, and running the built
// program as an operator would.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace mpx::testing {

// The file layout and the two known one-second blocks, as a reader of the file sees them.
inline constexpr std::size_t header_bytes = 44;
inline constexpr std::size_t block_bytes = 1152000;
inline constexpr const char* mono_block_digest =  // Mono, 100 %, 1000 Hz, no corrections
    "65d8ac146cc0b1a855da0349cfca9d72508c973964539df3fff680330a3952a5";
inline constexpr const char* calibration_block_digest =  // calibration, no corrections
    "d4ee5f0f077e38cef3069a4cea87c579a6732027a45eed19f12afebcb0a875db";

// A fresh folder under the system's temporary folder, removed with everything in it.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

std::string read_file(const std::filesystem::path& path);
void write_file(const std::filesystem::path& path, const std::string& bytes);

struct ProcessResult {
  int exit_status = -1;  // -1 when the process did not exit normally
  std::string out;
  std::string err;
};

// A started process whose output goes to files until it is collected.
struct RunningProcess {
  int pid = -1;
  std::filesystem::path io_dir;  // standard input, output and error files
};

// Starts `command` (argv[0] = command[0], searched on PATH) with `input` on standard input and
// the current folder `working_dir`.
RunningProcess start_process(const std::vector<std::string>& command, const std::string& input,
                             const std::filesystem::path& working_dir, const TempDir& io);

// Waits for the process and collects its output; `signal` receives the signal that ended it.
// When the program under test is a Windows program, its CR LF line ends read as LF.
ProcessResult finish_process(const RunningProcess& process, int* signal = nullptr);

// start_process then finish_process.
ProcessResult run_process(const std::vector<std::string>& command, const std::string& input,
                          const std::filesystem::path& working_dir);

// The mpxtone under test: MPXTONE_EXE names it; MPXTONE_LAUNCHER, if set, is a program that
// starts it (an emulator, for a cross-built program).
struct ProgramUnderTest {
  std::filesystem::path executable;
  std::string launcher;
  bool windows = false;  // a .exe: it sees its own path with backslashes
};
ProgramUnderTest program_under_test();

// A folder laid out as an operator has it: the program with a Settings file beside it.
struct Installation {
  TempDir dir;
  std::filesystem::path program;  // the copy of the program inside dir
};
void install_program(Installation& installation, const std::string& settings_text);
// The same in `folder`, a folder made inside the installation's temporary folder.
void install_program_in(Installation& installation, const std::filesystem::path& folder,
                        const std::string& settings_text);

// The command that starts the installed program by its full path.
std::vector<std::string> installed_command(const Installation& installation);

// Runs the installed program by its full path, from its own folder, with the operator's answers
// on standard input.
ProcessResult run_installed(const Installation& installation, const std::string& answers);

// The path as the program reports it: native separators for a Windows program under an
// emulator (Z: drive, backslashes), the plain path otherwise.
std::string reported_path(const std::filesystem::path& path);

}  // namespace mpx::testing
