// Folder names outside ASCII, as operators give them: the program's own folder (where its
// Settings file is looked for) and the output folder the Settings file names. The names reach
// the file system intact and the transcript shows them as UTF-8. A .exe must use the wide
// character file functions for this: names beyond the system's 8-bit code page (Greek, Japanese)
// cannot pass through the narrow ones at all.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/sha256.h"
#include "support/test_support.h"

namespace mpx {
namespace {

namespace fs = std::filesystem;
using testing::Installation;

using testing::block_bytes;
using testing::calibration_block_digest;
using testing::header_bytes;

// UTF-8 text as a path, the same on every host.
fs::path utf8_path(const std::string& text) {
  return fs::path(std::u8string(text.begin(), text.end()));
}

std::string transcript_line(const std::string& out, const std::string& start) {
  const auto at = out.find(start);
  if (at == std::string::npos) return "(no line starting '" + start + "')";
  return out.substr(at, out.find_first_of("\r\n", at) - at);
}

TEST(UnicodePaths, ProgramAndOutputFolders) {
  struct Case {
    const char* what;
    std::string program_folder;  // inside the temporary folder
    std::string output;          // as the Settings file gives it; empty: the full path
    std::string output_folder;   // where the file must land, inside the temporary folder
    bool windows_only;
  };
  const Case cases[] = {
      // Program folder with a Latin-1 letter; the Settings file beside it must still be found.
      {"umlaut program folder", "Prüfsignale-Programm", "out", "Prüfsignale-Programm/out", false},
      // Output folder with a Latin-1 letter, relative to the folder the program runs in.
      {"umlaut output folder", "programm", "Prüfsignale", "programm/Prüfsignale", false},
      // Both, the output folder by its full path.
      {"both, output by full path", "Prüfsignale-Programm", "", "Prüfsignale", false},
      // Greek and Japanese: no 8-bit code page holds both, so narrow file names would fail.
      {"beyond any 8-bit code page", "Σήματα", "テスト信号", "Σήματα/テスト信号", false},
      // A Windows operator writes the output folder with backslashes.
      {"backslashes in the output folder", "Prüfsignale-Programm", "tracks\\Prüfsignale",
       "Prüfsignale-Programm/tracks/Prüfsignale", true},
  };
  const bool windows = testing::program_under_test().windows;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    if (c.windows_only && !windows) continue;
    Installation installation;
    const fs::path output_folder = installation.dir.path() / utf8_path(c.output_folder);
    const std::string output = c.output.empty() ? testing::reported_path(output_folder) : c.output;
    testing::install_program_in(installation, utf8_path(c.program_folder), output + " 0 1 0 0 1");
    fs::create_directories(output_folder);

    const auto result = testing::run_installed(installation, "C\n");
    EXPECT_EQ(result.exit_status, 0);
    EXPECT_EQ(result.err, "");
    const std::string directory =
        testing::reported_path(installation.dir.path() / utf8_path(c.program_folder));
    EXPECT_EQ(transcript_line(result.out, "Application directory"),
              "Application directory = " + directory);
    EXPECT_EQ(transcript_line(result.out, "Settings file at"),
              "Settings file at " + directory + "/Settings");
    EXPECT_EQ(transcript_line(result.out, "Output to directory"),
              "Output to directory = " + output);
    EXPECT_EQ(transcript_line(result.out, " fullname"),
              " fullname => " + output + "/MPXcalibration.wav");
    EXPECT_NE(result.out.find("Track finished"), std::string::npos);

    // Exactly the finished file, with its one block of calibration signal.
    std::string names;
    for (const auto& entry : fs::directory_iterator(output_folder)) {
      names += entry.path().filename().string() + " ";
    }
    EXPECT_EQ(names, "MPXcalibration.wav ");
    const fs::path file = output_folder / "MPXcalibration.wav";
    if (!fs::exists(file)) continue;
    const std::string bytes = testing::read_file(file);
    ASSERT_EQ(bytes.size(), header_bytes + block_bytes);
    EXPECT_EQ(testing::sha256_hex(bytes.substr(header_bytes)), calibration_block_digest);
  }
}

}  // namespace
}  // namespace mpx
