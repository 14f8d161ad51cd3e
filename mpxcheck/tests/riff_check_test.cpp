#include "riff_check.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>

namespace {

using Bytes = std::vector<unsigned char>;

void put(Bytes& out, const std::string& text) { out.insert(out.end(), text.begin(), text.end()); }

void put_le(Bytes& out, std::uint64_t value, int width) {
  for (int i = 0; i < width; ++i) out.push_back(static_cast<unsigned char>(value >> (8 * i)));
}

Bytes chunk(const std::string& id, std::uint32_t declared_size, std::size_t actual_size) {
  Bytes out;
  put(out, id);
  put_le(out, declared_size, 4);
  out.resize(out.size() + actual_size + (actual_size & 1), 0);
  return out;
}

Bytes riff(const std::string& form, const std::vector<Bytes>& chunks) {
  Bytes out;
  put(out, form);
  put_le(out, 0xFFFFFFFF, 4);
  put(out, "WAVE");
  for (const Bytes& c : chunks) out.insert(out.end(), c.begin(), c.end());
  return out;
}

Bytes ds64(std::uint64_t data_bytes) {
  Bytes out;
  put(out, "ds64");
  put_le(out, 28, 4);
  put_le(out, 0, 8);  // RIFF size
  put_le(out, data_bytes, 8);
  put_le(out, 0, 8);  // sample count
  put_le(out, 0, 4);  // table length
  return out;
}

RiffFinding check_bytes(const Bytes& bytes) {
  const ByteReader read = [&bytes](std::uint64_t offset, std::size_t count) {
    if (offset >= bytes.size()) return Bytes{};
    const auto begin = bytes.begin() + static_cast<std::ptrdiff_t>(offset);
    const auto end = bytes.begin() + static_cast<std::ptrdiff_t>(
                                         std::min<std::uint64_t>(bytes.size(), offset + count));
    return Bytes(begin, end);
  };
  return check_riff(read, bytes.size());
}

struct RiffCase {
  std::string name;
  Bytes file;
  bool is_wave = true;
  std::string problem;  // part of the expected problem; empty: none
};

const std::vector<RiffCase> riff_cases = {
    // Complete file, with an odd-sized chunk (padded) before the data.
    {"complete", riff("RIFF", {chunk("fmt ", 16, 16), chunk("LIST", 5, 5), chunk("data", 12, 12)}),
     true, ""},
    // Data chunk declares more than the file holds.
    {"short_data", riff("RIFF", {chunk("fmt ", 16, 16), chunk("data", 4000, 100)}), true,
     "declares 4000 bytes but only 100 follow"},
    // Cut off before the data chunk.
    {"no_data", riff("RIFF", {chunk("fmt ", 16, 16)}), true, "no data chunk"},
    // A chunk before the data claims to run past the end.
    {"long_chunk", riff("RIFF", {chunk("fmt ", 16, 16), chunk("JUNK", 1000000, 10)}), true,
     "no data chunk"},
    // Streamed RIFF: a size left at zero runs to the end of the file.
    {"streamed", riff("RIFF", {chunk("fmt ", 16, 16), chunk("data", 0, 64)}), true, ""},
    // RF64: the real data size sits in ds64.
    {"rf64_complete",
     riff("RF64", {ds64(64), chunk("fmt ", 16, 16), chunk("data", 0xFFFFFFFF, 64)}), true, ""},
    {"rf64_short", riff("RF64", {ds64(6400), chunk("fmt ", 16, 16), chunk("data", 0xFFFFFFFF, 64)}),
     true, "declares 6400 bytes"},
    {"rf64_without_ds64", riff("RF64", {chunk("fmt ", 16, 16), chunk("data", 0xFFFFFFFF, 64)}),
     true, "without a ds64 chunk"},
    // Not WAVE at all.
    {"aiff",
     [] {
       Bytes b;
       put(b, "FORM");
       put_le(b, 4, 4);
       put(b, "AIFF");
       return b;
     }(),
     false, ""},
    {"too_short", Bytes{'R', 'I', 'F', 'F'}, false, ""},
};

TEST(RiffCheckTest, FindsTruncation) {
  for (const RiffCase& c : riff_cases) {
    SCOPED_TRACE(c.name);
    const RiffFinding finding = check_bytes(c.file);
    EXPECT_EQ(finding.is_wave, c.is_wave);
    if (c.problem.empty()) {
      EXPECT_EQ(finding.problem, "");
    } else {
      EXPECT_NE(finding.problem.find(c.problem), std::string::npos) << finding.problem;
    }
  }
}

}  // namespace
