#include "riff_check.h"

#include <fstream>
#include <optional>
#include <string_view>

namespace {

constexpr std::uint32_t unknown_size_32 = 0xFFFFFFFF;
constexpr std::size_t chunk_header_bytes = 8;
constexpr std::size_t riff_header_bytes = 12;
constexpr std::size_t ds64_data_size_offset = 8;  // after the 64-bit RIFF size

std::uint64_t little_endian(const std::vector<unsigned char>& bytes, std::size_t at,
                            std::size_t width) {
  std::uint64_t value = 0;
  for (std::size_t i = 0; i < width; ++i) value |= std::uint64_t{bytes[at + i]} << (8 * i);
  return value;
}

std::string_view four_cc(const std::vector<unsigned char>& bytes, std::size_t at) {
  return {reinterpret_cast<const char*>(bytes.data() + at), 4};
}

}  // namespace

RiffFinding check_riff(const ByteReader& read, std::uint64_t file_bytes) {
  RiffFinding finding;
  const std::vector<unsigned char> header = read(0, riff_header_bytes);
  if (header.size() < riff_header_bytes) return finding;
  const std::string_view form = four_cc(header, 0);
  const bool rf64 = form == "RF64";
  if ((form != "RIFF" && !rf64) || four_cc(header, 8) != "WAVE") return finding;
  finding.is_wave = true;

  std::optional<std::uint64_t> ds64_data_bytes;
  std::uint64_t offset = riff_header_bytes;
  while (offset + chunk_header_bytes <= file_bytes) {
    const std::vector<unsigned char> chunk = read(offset, chunk_header_bytes);
    if (chunk.size() < chunk_header_bytes) break;
    const std::string_view id = four_cc(chunk, 0);
    const auto size_32 = static_cast<std::uint32_t>(little_endian(chunk, 4, 4));
    std::uint64_t size = size_32;
    const std::uint64_t body = offset + chunk_header_bytes;
    if (id == "ds64") {
      const std::vector<unsigned char> ds64 = read(body, ds64_data_size_offset + 8);
      if (ds64.size() == ds64_data_size_offset + 8) {
        ds64_data_bytes = little_endian(ds64, ds64_data_size_offset, 8);
      }
    } else if (id == "data") {
      if (rf64 && size_32 == unknown_size_32) {
        if (!ds64_data_bytes) {
          finding.problem = "RF64 file without a ds64 chunk giving the data size";
          return finding;
        }
        size = *ds64_data_bytes;
      } else if (!rf64 && (size_32 == unknown_size_32 || size_32 == 0)) {
        return finding;  // streamed: the data runs to the end of the file
      }
      const std::uint64_t present = file_bytes - body;
      if (size > present) {
        finding.problem = "truncated: the data chunk declares " + std::to_string(size) +
                          " bytes but only " + std::to_string(present) + " follow";
      }
      return finding;
    }
    offset = body + size + (size & 1);  // chunks are padded to an even length
  }
  finding.problem = "truncated or damaged: no data chunk found";
  return finding;
}

RiffFinding check_riff_file(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::error_code error;
  const std::uint64_t file_bytes = std::filesystem::file_size(path, error);
  if (!in || error) return {};
  const ByteReader read = [&in](std::uint64_t offset, std::size_t count) {
    std::vector<unsigned char> bytes(count);
    in.clear();
    in.seekg(static_cast<std::streamoff>(offset));
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(count));
    bytes.resize(static_cast<std::size_t>(in.gcount()));
    return bytes;
  };
  return check_riff(read, file_bytes);
}
