#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

// Reads `count` bytes at `offset` (fewer at the end of the file).
using ByteReader =
    std::function<std::vector<unsigned char>(std::uint64_t offset, std::size_t count)>;

// What the RIFF chunk structure of a file says (Microsoft RIFF WAVE, and EBU Tech 3306 RF64 whose
// 64-bit sizes sit in a "ds64" chunk).
struct RiffFinding {
  bool is_wave = false;  // starts "RIFF....WAVE" or "RF64....WAVE"
  std::string problem;   // empty when the chunks fit in the file
};

// Walks the chunks up to "data" and checks that the data chunk's declared size fits in the file.
// Audio libraries quietly shorten a cut-off data chunk; a file that lost its end is damaged, so we
// say so instead of measuring a part of it. A size of 0 or 0xFFFFFFFF in a plain RIFF file marks a
// stream whose writer never went back to fill it in; such a size is not checked.
RiffFinding check_riff(const ByteReader& read, std::uint64_t file_bytes);

RiffFinding check_riff_file(const std::filesystem::path& path);
