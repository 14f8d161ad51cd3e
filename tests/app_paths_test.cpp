#include "run/app_paths.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace mpx {
namespace {

TEST(AppPaths, DirectoryPartCutsAtTheLastSeparator) {
  struct Case {
    const char* path;
    std::optional<std::string> directory;
  };
  const Case cases[] = {
      {"C:\\tools\\gen\\prog.exe", "C:\\tools\\gen"},  // Windows path
#if !defined(_WIN32)
      {"/opt/mpx/mpxtone", "/opt/mpx"},             // Linux path
      {"./mpxtone", "."},                           // started from its own folder
      {"/mpxtone", ""},                             // in the root folder
      {"C:\\mixed/dir\\sub/prog", "C:\\mixed/dir\\sub"},  // whichever comes later: '/'
      {"/home/x\\y/prog\\name", "/home/x\\y/prog"},      // whichever comes later: '\'
#endif
      {"mpxtone", std::nullopt},  // found through PATH: no folder in the path
      {"", std::nullopt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(directory_part(c.path), c.directory);
  }
}

TEST(AppPaths, NameAloneFallsBackToTheExecutablesFolder) {
  const std::string directory = application_directory_for("mpxtone");
  EXPECT_FALSE(directory.empty());
  EXPECT_TRUE(std::filesystem::is_directory(path_from_utf8(directory)));
  EXPECT_EQ(directory, executable_directory());
}

}  // namespace
}  // namespace mpx
