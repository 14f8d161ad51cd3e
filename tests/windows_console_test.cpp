// What only the Windows program has to get right on its own: Ctrl+C in the console while the
// file is written. Windows removes no file that is still open, so the program must close its
// temporary file before removing it. (On Linux the same is the interrupt test among the errors.)
#include <gtest/gtest.h>
#include <signal.h>

#include <filesystem>
#include <string>

#include "support/test_support.h"

namespace mpx {
namespace {

namespace fs = std::filesystem;
using testing::Installation;

TEST(WindowsConsole, CtrlCLeavesNoTemporaryFile) {
  if (!testing::program_under_test().windows) GTEST_SKIP() << "a Windows console";
  Installation installation;
  testing::install_program(installation, "out 2 60 2 0 1");
  const fs::path out = installation.dir.path() / "out";
  fs::create_directory(out);

  // Hold the program as soon as its temporary file appears, then press Ctrl+C there: Wine hands
  // SIGINT to a console program as Ctrl+C.
  testing::TempDir io;
  const auto process = testing::start_process(testing::installed_command(installation), "C",
                                              installation.dir.path(), io);
  bool caught = false;
  for (int poll = 0; poll < 10000000 && !caught; ++poll) {
    if (!fs::is_empty(out)) {
      kill(process.pid, SIGSTOP);
      caught = true;
    }
  }
  if (caught) {
    kill(process.pid, SIGINT);
    kill(process.pid, SIGCONT);
  }
  const auto result = testing::finish_process(process);
  if (!caught || fs::exists(out / "MPXcalibration.wav")) {
    GTEST_SKIP() << "the run finished before it could be interrupted";
  }
  // The C library ends a program on SIGINT with status 3.
  EXPECT_EQ(result.exit_status, 3);
  EXPECT_EQ(result.out.find("Track finished"), std::string::npos);
  EXPECT_TRUE(fs::is_empty(out));
}

}  // namespace
}  // namespace mpx
