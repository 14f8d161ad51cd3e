#include "wav/wav_writer.h"

#include <gtest/gtest.h>

#include <string>

namespace mpx {
namespace {

std::string hex(const WavHeader& header) {
  std::string text;
  for (std::uint8_t byte : header) {
    char digits[4];
    std::snprintf(digits, sizeof digits, "%02x", byte);
    if (!text.empty()) text += ' ';
    text += digits;
  }
  return text;
}

TEST(WavHeader, WholeHeaderBytes) {
  struct Case {
    const char* what;
    std::uint32_t seconds;
    std::string bytes;
  };
  const std::string format =
      "57 41 56 45 66 6d 74 20 10 00 00 00 01 00 02 00 00 ee 02 00 00 94 11 00 06 00 18 00 "
      "64 61 74 61 ";
  const Case cases[] = {
      // 1 s lead-in, 2 s tone, 1 s lead-out: 4,608,000 bytes of audio.
      {"four seconds", 4, "52 49 46 46 24 50 46 00 " + format + "00 50 46 00"},
      // Nothing to write: sizes 36 and 0.
      {"empty", 0, "52 49 46 46 24 00 00 00 " + format + "00 00 00 00"},
      // 3728 s, the longest the 32-bit sizes describe: 4,294,656,000 bytes, above 2^31.
      {"longest", 3728, "52 49 46 46 24 40 fb ff " + format + "00 40 fb ff"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(hex(make_wav_header(c.seconds * block_bytes)), c.bytes);
  }
}

TEST(WavHeader, LittleEndianWriters) {
  WavHeader bytes{};
  HeaderCursor cursor{bytes};
  write_le16(cursor, 0x1234);
  write_le32(cursor, 0xA1B2C3D4);
  write_byte(cursor, 0x7F);
  EXPECT_EQ(cursor.position, 7u);
  EXPECT_EQ(hex(bytes).substr(0, 20), "34 12 d4 c3 b2 a1 7f");
}

}  // namespace
}  // namespace mpx
