// Every refusal and every failure: one line on standard error naming what failed, exit status
// 1, no "Track finished", and no output file left behind (an earlier file stays as it was).
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <set>
#include <string>
#include <thread>

#include "support/test_support.h"

namespace mpx {
namespace {

namespace fs = std::filesystem;
using testing::Installation;

std::set<std::string> listing(const fs::path& folder) {
  std::set<std::string> names;
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(folder, error)) {
    names.insert(entry.path().filename().string());
  }
  return names;
}

void expect_refused(const testing::ProcessResult& result, const std::string& message) {
  EXPECT_EQ(result.exit_status, 1);
  EXPECT_EQ(result.err, "mpxtone: error: " + message + "\n");
  EXPECT_EQ(result.out.find("Track finished"), std::string::npos);
}

// A small tmpfs mounted for one test, so that a disk-full case cannot fill the real disk.
class SizeLimitedFolder {
 public:
  SizeLimitedFolder(const fs::path& path, const char* size) : path_(path) {
    fs::create_directories(path_);
    mounted_ = testing::run_process({"mount", "-t", "tmpfs", "-o", std::string("size=") + size,
                                     "tmpfs", path_.string()},
                                    "", fs::temp_directory_path())
                   .exit_status == 0;
  }
  ~SizeLimitedFolder() {
    if (mounted_) testing::run_process({"umount", path_.string()}, "", fs::temp_directory_path());
  }
  bool mounted() const { return mounted_; }

 private:
  fs::path path_;
  bool mounted_ = false;
};

TEST(Errors, RefusedBeforeAnyFileIsCreated) {
  struct Case {
    const char* what;
    const char* settings;  // nullptr: no Settings file at all
    const char* answers;
    std::string message;  // "{dir}" stands for the program's folder
  };
  const Case cases[] = {
      {"no Settings file", nullptr, "M 100 1000",
       "cannot open Settings file '{dir}/Settings': No such file or directory"},
      {"unknown mode letter", "out 1 1 1 0 1", "X 100 1000",
       "mode letter 'X' is not one of M (Mono), L (Left), R (Right), A (Antiphase) or C (Check)"},
      {"infinite level", "out 1 1 1 0 1", "L inf 1000",
       "amplitude entry inf is not a finite number of percent"},
      {"level not a number", "out 1 1 1 0 1", "L -nan 1000",
       "amplitude entry -nan is not a finite number of percent"},
      {"frequency not a number", "out 1 1 1 0 1", "L 50 nan",
       "frequency entry nan is not a number of hertz"},
      {"negative lead-in", "out -3 1 1 0 1", "M 100 1000",
       "Settings field lead_in_seconds is -3: a duration cannot be negative"},
      {"negative tone", "out 1 -1 1 0 1", "M 100 1000",
       "Settings field tone_seconds is -1: a duration cannot be negative"},
      {"duration beyond 32 bits", "out 1 1 2147483648 0 1", "M 100 1000",
       "Settings field lead_out_seconds is 2147483648, which does not fit 32 bits"},
      {"too long for RIFF", "out 2 3725 2 0 1", "M 100 1000",
       "Settings durations add up to 3729 seconds: a WAV file holds at most 3728 seconds of this "
       "format (32-bit RIFF sizes)"},
      {"phase not a number", "out 1 1 1 nan 1", "C",
       "Settings field subcarrier_phase_correction is nan, which is not a finite number"},
      {"output folder missing", "missing 1 1 1 0 1", "R 50 440",
       "cannot create output file 'missing/MPX_R440Hz050dBd24bit.wav': No such file or "
       "directory"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Installation installation;
    testing::install_program(installation, c.settings ? c.settings : "");
    if (!c.settings) fs::remove(installation.dir.path() / "Settings");
    fs::create_directory(installation.dir.path() / "out");
    const auto before = listing(installation.dir.path());
    const auto result = testing::run_installed(installation, c.answers);

    std::string message = c.message;
    if (const auto at = message.find("{dir}"); at != std::string::npos) {
      message.replace(at, 5, testing::reported_path(installation.dir.path()));
    }
    expect_refused(result, message);
    EXPECT_EQ(listing(installation.dir.path()), before);
    EXPECT_TRUE(listing(installation.dir.path() / "out").empty());
  }
}

TEST(Errors, DialogueComesBeforeTheSettingsFileIsOpened) {
  Installation installation;
  testing::install_program(installation, "");
  fs::remove(installation.dir.path() / "Settings");
  fs::create_directory(installation.dir.path() / "Settings");  // a folder, not a file
  const auto result = testing::run_installed(installation, "L 90 1000");
  // The program joins its folder and "Settings" with a forward slash on every platform.
  expect_refused(result, "cannot open Settings file '" +
                             testing::reported_path(installation.dir.path()) +
                             "/Settings': Is a directory");
  EXPECT_NE(result.out.find("Frequency (rounded to Hz) =>  1000.0 Hz"), std::string::npos);
  EXPECT_EQ(result.out.find("Output to directory"), std::string::npos);
}

TEST(Errors, PathTooLongForTheSystem) {
  // Nothing is cut short: the whole name reaches the file system, which refuses it.
  const std::string directory = "out/" + std::string(300, 'd');
  Installation installation;
  testing::install_program(installation, directory + " 0 1 0 0 1");
  fs::create_directory(installation.dir.path() / "out");
  const auto result = testing::run_installed(installation, "C");
  EXPECT_NE(result.out.find("Output to directory = " + directory + "\n"), std::string::npos);
  // Windows has no "name too long": it reports the path as not found.
  const char* reason =
      testing::program_under_test().windows ? "No such file or directory" : "File name too long";
  expect_refused(result,
                 "cannot create output file '" + directory + "/MPXcalibration.wav': " + reason);
  EXPECT_TRUE(listing(installation.dir.path() / "out").empty());
}

TEST(Errors, EndOfInputRunsWithTheDefaults) {
  Installation installation;
  testing::install_program(installation, "out 0 1 0 0 1");
  fs::create_directory(installation.dir.path() / "out");
  const auto result = testing::run_installed(installation, "");
  EXPECT_EQ(result.exit_status, 0) << result.err;
  EXPECT_NE(result.out.find("Chose M  1\n"), std::string::npos);
  EXPECT_TRUE(fs::exists(installation.dir.path() / "out" / "MPX_M400Hz000dBd24bit.wav"));
}

TEST(Errors, ReadOnlyOutputFolder) {
  if (testing::program_under_test().windows) GTEST_SKIP() << "POSIX permissions";
  Installation installation;
  testing::install_program(installation, "out 0 1 0 0 1");
  const fs::path out = installation.dir.path() / "out";
  fs::create_directory(out);
  fs::permissions(installation.dir.path(), fs::perms(0755));
  fs::permissions(installation.dir.path() / "Settings", fs::perms(0644));
  fs::permissions(out, fs::perms(0555));

  std::vector<std::string> command = testing::installed_command(installation);
  if (geteuid() == 0) {
    // root writes anywhere: run as an ordinary user, as an operator would.
    if (testing::run_process({"setpriv", "--version"}, "", installation.dir.path()).exit_status !=
        0) {
      GTEST_SKIP() << "running as root and setpriv is missing: cannot test a read-only folder";
    }
    command.insert(command.begin(),
                   {"setpriv", "--reuid=65534", "--regid=65534", "--clear-groups", "--"});
  }
  const auto result = testing::run_process(command, "c", installation.dir.path());
  expect_refused(result, "cannot create output file 'out/MPXcalibration.wav': Permission denied");
  EXPECT_TRUE(listing(out).empty());
}

TEST(Errors, FullDiskKeepsTheEarlierFile) {
  Installation installation;
  testing::install_program(installation, "");
  const fs::path out = installation.dir.path() / "out";
  SizeLimitedFolder limited(out, "4m");
  if (!limited.mounted()) GTEST_SKIP() << "cannot mount a size-limited tmpfs here (not root?)";

  struct Case {
    const char* what;
    const char* settings;
    const char* payload;
  };
  const Case cases[] = {
      // 2 + 1 + 2 seconds need 5.8 MB: the disk fills during the lead-out.
      {"short file", "out 2 1 2 0 1", "5760000"},
      // Past 2^31 bytes the sizes are shown as the unsigned byte counts they are.
      {"long file", "out 1 1863 1 0 1", "2148480000"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    testing::write_file(installation.dir.path() / "Settings", c.settings);
    const fs::path earlier = out / "MPXcalibration.wav";
    const std::string earlier_bytes = "an earlier take, which must survive\n";
    testing::write_file(earlier, earlier_bytes);

    const auto result = testing::run_installed(installation, "C");
    for (const std::string label : {"Payload in Bytes = ", "Payload to write = "}) {
      EXPECT_NE(result.out.find(label + c.payload + "\n"), std::string::npos) << result.out;
    }
    expect_refused(result,
                   "cannot write output file 'out/MPXcalibration.wav': No space left on device");
    EXPECT_EQ(testing::read_file(earlier), earlier_bytes);
    EXPECT_EQ(listing(out), std::set<std::string>{"MPXcalibration.wav"});
  }
}

TEST(Errors, InterruptLeavesNoTemporaryFile) {
  if (testing::program_under_test().windows) GTEST_SKIP() << "POSIX signals";
  Installation installation;
  const fs::path out = installation.dir.path() / "out";
  SizeLimitedFolder limited(out, "64m");
  if (!limited.mounted()) GTEST_SKIP() << "cannot mount a size-limited tmpfs here (not root?)";
  testing::install_program(installation, "out 2 30 2 0 1");

  // Stop the program as soon as its temporary file appears, then interrupt it there, as Ctrl+C
  // would while it writes.
  testing::TempDir io;
  const auto process = testing::start_process(testing::installed_command(installation), "C",
                                              installation.dir.path(), io);
  bool caught = false;
  for (int poll = 0; poll < 200000 && !caught; ++poll) {
    if (!listing(out).empty()) {
      kill(process.pid, SIGSTOP);
      caught = true;
    }
  }
  if (caught) {
    kill(process.pid, SIGINT);
    kill(process.pid, SIGCONT);
  }
  int signal = 0;
  const auto result = testing::finish_process(process, &signal);
  if (!caught || listing(out) == std::set<std::string>{"MPXcalibration.wav"}) {
    GTEST_SKIP() << "the run finished before it could be interrupted";
  }
  EXPECT_EQ(signal, SIGINT);
  EXPECT_EQ(result.out.find("Track finished"), std::string::npos);
  EXPECT_TRUE(listing(out).empty());
}

TEST(Errors, ClosedConsoleLeavesNoTemporaryFile) {
  if (testing::program_under_test().windows) GTEST_SKIP() << "POSIX pipes";
  Installation installation;
  testing::install_program(installation, "out 1 5 1 0 1");
  const fs::path out = installation.dir.path() / "out";
  fs::create_directory(out);
  // The transcript goes into a reader that stops after the banner. The answer is typed only
  // once the reader has gone, so the program's next message, after it has started writing the
  // file, finds nobody listening.
  auto command = testing::installed_command(installation);
  std::string program;
  for (const auto& word : command) program += "'" + word + "' ";
  const std::string pipeline = "(while [ ! -e reader-gone ]; do sleep 0.01; done; echo c) | " +
                               program + "| (head -c 10; touch reader-gone)";
  const auto result =
      testing::run_process({"/bin/sh", "-c", pipeline}, "", installation.dir.path());
  EXPECT_EQ(result.out, "  Tavilorq");
  EXPECT_TRUE(listing(out).empty());
}

}  // namespace
}  // namespace mpx
