// The archive handed to operators (mpxtone-<version>-linux-x86_64.tar.gz or -win64.zip), unpacked
// as they would unpack it and run from the folder it makes, with the sample Settings inside.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <set>
#include <sstream>
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

std::string required_environment(const char* name) {
  const char* value = std::getenv(name);
  if (value == nullptr) throw std::runtime_error(std::string(name) + " is not set");
  return value;
}

std::set<std::string> listing(const fs::path& folder) {
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) {
    names.insert(entry.path().filename().string());
  }
  return names;
}

// The folder an archive unpacks into is named like the archive.
std::string archive_stem(const fs::path& archive) {
  std::string name = archive.filename().string();
  for (const std::string suffix : {".tar.gz", ".zip"}) {
    if (name.size() > suffix.size() && name.ends_with(suffix)) {
      return name.substr(0, name.size() - suffix.size());
    }
  }
  return name;
}

TEST(Package, UnpacksIntoOneReadyFolder) {
  const fs::path archive = required_environment("MPXTONE_PACKAGE");
  const testing::ProgramUnderTest program = testing::program_under_test();
  ASSERT_TRUE(fs::exists(archive)) << archive;

  Installation installation;
  const auto unpacked = testing::run_process(
      {required_environment("MPXTONE_CMAKE"), "-E", "tar", "xf", archive.string()}, "",
      installation.dir.path());
  ASSERT_EQ(unpacked.exit_status, 0) << unpacked.err;

  // One folder, holding the program, its sample Settings, the empty output folder the Settings
  // names, and the README.
  const std::string folder_name = archive_stem(archive);
  ASSERT_EQ(listing(installation.dir.path()), std::set<std::string>{folder_name});
  const fs::path folder = installation.dir.path() / folder_name;
  const std::string program_name = program.executable.filename().string();
  EXPECT_EQ(listing(folder),
            (std::set<std::string>{program_name, "README.md", "Settings", "tracks"}));
  ASSERT_TRUE(fs::is_directory(folder / "tracks"));
  EXPECT_TRUE(fs::is_empty(folder / "tracks"));

  std::istringstream settings(testing::read_file(folder / "Settings"));
  std::string output_directory;
  int lead_in = -1, tone = -1, lead_out = -1;
  settings >> output_directory >> lead_in >> tone >> lead_out;
  EXPECT_EQ(output_directory, "tracks");
  ASSERT_GE(lead_in, 0);
  ASSERT_GE(tone, 0);
  ASSERT_GE(lead_out, 0);

  // Started from its folder, the program finds its Settings and writes into tracks.
  installation.program = folder / program_name;
  const auto result = testing::run_installed(installation, "C\n");
  EXPECT_EQ(result.exit_status, 0);
  EXPECT_EQ(result.err, "");
  const std::string directory = testing::reported_path(folder);
  EXPECT_NE(result.out.find("Application directory = " + directory), std::string::npos)
      << result.out;
  EXPECT_NE(result.out.find("Track finished"), std::string::npos) << result.out;
  EXPECT_EQ(listing(folder / "tracks"), std::set<std::string>{"MPXcalibration.wav"});

  const std::string file = testing::read_file(folder / "tracks" / "MPXcalibration.wav");
  const int blocks = lead_in + tone + lead_out;
  ASSERT_EQ(file.size(), header_bytes + static_cast<std::size_t>(blocks) * block_bytes);
  const std::string silence(block_bytes, '\0');
  for (int block = 0; block < blocks; ++block) {
    SCOPED_TRACE("block " + std::to_string(block));
    const std::string bytes = file.substr(header_bytes + block * block_bytes, block_bytes);
    if (block < lead_in || block >= lead_in + tone) {
      EXPECT_TRUE(bytes == silence);
    } else {
      EXPECT_EQ(testing::sha256_hex(bytes), calibration_block_digest);
    }
  }
}

}  // namespace
}  // namespace mpx
