// The output file, written so that no partial or damaged file is ever left under its name:
// the bytes go to a temporary file beside it, which replaces the final name only once every
// byte was written and the file closed without error.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace mpx {

class OutputFile {
 public:
  // Creates the temporary file in the folder of final_path. Throws RunError naming final_path.
  explicit OutputFile(std::string final_path);
  // Removes the temporary file unless commit() succeeded.
  ~OutputFile();
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  // Writes all bytes or throws RunError with the system's reason (a full disk, for example).
  void write(const std::uint8_t* data, std::size_t size);

  // Closes the file and moves it onto final_path, replacing an earlier file of that name.
  void commit();

  const std::string& temporary_path() const { return temporary_path_; }

 private:
  void discard() noexcept;

  std::string final_path_;
  std::string temporary_path_;
  int descriptor_ = -1;
  bool committed_ = false;
};

}  // namespace mpx
