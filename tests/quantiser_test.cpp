#include "synth/quantiser.h"

#include <gtest/gtest.h>

#include <array>
#include <limits>

namespace mpx {
namespace {

TEST(RandomSource, FirstDrawsOfEveryRun) {
  RandomSource source;
  for (std::int32_t expected : {41, 18467, 6334, 26500, 19169, 15724}) {
    EXPECT_EQ(random_draw(source), expected);
  }
}

TEST(RandomSource, AdvancedMatchesDrawingOneByOne) {
  for (std::uint64_t draws : {0ull, 1ull, 2ull, 3ull, 4ull, 767999ull, 768000ull, 1000003ull}) {
    SCOPED_TRACE(draws);
    RandomSource stepped;
    for (std::uint64_t i = 0; i < draws; ++i) random_draw(stepped);
    EXPECT_EQ(advanced(RandomSource{}, draws).state, stepped.state);
  }
}

TEST(TpdfDither, FirstValuesAndRange) {
  RandomSource source;
  EXPECT_EQ(tpdf_dither(source), -0.40625);   // draws 41 and 18467
  EXPECT_EQ(tpdf_dither(source), -0.484375);  // draws 6334 and 26500
  for (int i = 0; i < 100000; ++i) {
    const double d = tpdf_dither(source);
    ASSERT_GE(d, -1.0);
    ASSERT_LE(d, 0.984375);
    ASSERT_EQ(d * 128.0, static_cast<double>(static_cast<int>(d * 128.0)));  // steps of 1/128
  }
}

TEST(QuantiseSample, RoundsHalfAwayFromZero) {
  struct Case {
    double value;
    std::int32_t expected;
  };
  const Case cases[] = {
      {0.0, 0},                // zero stays zero
      {0.5, 1},                // half rounds up
      {-0.5, -1},              // and away from zero when negative
      {2.4999, 2},             // below half drops
      {-2.5, -3},              // negative half
      {8388352.0, 8388352},    // full scale
      {2147483647.4, 2147483647},  // the last value that fits
      {2147483648.0, std::numeric_limits<std::int32_t>::min()},   // beyond 32 bits
      {-2147483649.0, std::numeric_limits<std::int32_t>::min()},  // below 32 bits
      {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<std::int32_t>::min()},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.value);
    EXPECT_EQ(quantise_sample(c.value), c.expected);
  }
}

TEST(PackS24le, TwoComplementLittleEndian) {
  struct Case {
    std::int32_t n;
    std::array<std::uint8_t, 3> bytes;
  };
  const Case cases[] = {
      {0, {0x00, 0x00, 0x00}},
      {1, {0x01, 0x00, 0x00}},
      {-1, {0xFF, 0xFF, 0xFF}},
      {8388352, {0x00, 0xFF, 0x7F}},   // full scale
      {-8388352, {0x00, 0x01, 0x80}},  // negative full scale
      {8388607, {0xFF, 0xFF, 0x7F}},   // largest 24-bit value
      {-8388608, {0x00, 0x00, 0x80}},  // smallest 24-bit value
      {10066022, {0x66, 0x98, 0x99}},  // out of range: the low 24 bits
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.n);
    std::array<std::uint8_t, 3> out{};
    pack_s24le(c.n, out.data());
    EXPECT_EQ(out, c.bytes);
  }
}

std::int32_t read_s24le(const std::uint8_t* p) {
  std::int32_t v = p[0] | (p[1] << 8) | (p[2] << 16);
  return v >= 0x800000 ? v - 0x1000000 : v;
}

// Stores one frame after `skip_frames` frames' worth of draws and reads back both samples.
std::array<std::int32_t, 2> stored(double level1, double level2, std::uint64_t skip_frames) {
  KernelBuffer kernel;
  RandomSource dither = advanced(RandomSource{}, 4 * skip_frames);
  store_frame(kernel, dither, 7, level1, level2);
  const std::uint8_t* frame = kernel.bytes.data() + 7 * frame_bytes;
  return {read_s24le(frame), read_s24le(frame + 3)};
}

TEST(StoreFrame, FirstFrameOfSilenceIsZero) {
  KernelBuffer kernel;
  kernel.bytes.assign(kernel.bytes.size(), 0xAA);
  RandomSource dither;
  store_frame(kernel, dither, 0, 0.0, 0.0);
  EXPECT_EQ(std::vector<std::uint8_t>(kernel.bytes.begin(), kernel.bytes.begin() + 6),
            std::vector<std::uint8_t>(6, 0));
  EXPECT_EQ(kernel.bytes[6], 0xAA);  // nothing beyond the frame
  EXPECT_EQ(advanced(RandomSource{}, 4).state, dither.state);  // exactly four draws
}

TEST(StoreFrame, ChannelTwoLimitedChannelOneSaturated) {
  struct Case {
    const char* what;
    double level1, level2;
    std::int32_t min1, max1, min2, max2;
  };
  const Case cases[] = {
      // Full scale on channel 1 keeps the dither: 8388351 .. 8388353.
      {"level 1.0", 1.0, 1.0, 8388351, 8388353, 8388351, 8388352},
      {"level -1.0", -1.0, -1.0, -8388353, -8388351, -8388352, -8388351},
      // Channel 2 never passes +-full_scale; channel 1 stops at the 24-bit limits.
      {"level 1.2", 1.2, 1.2, 8388607, 8388607, 8388352, 8388352},
      {"level -1.2", -1.2, -1.2, -8388608, -8388608, -8388352, -8388352},
      {"level 300", 300.0, 300.0, 8388607, 8388607, 8388352, 8388352},
      {"level -1e9", -1e9, -1e9, -8388608, -8388608, -8388352, -8388352},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    for (std::uint64_t frame = 0; frame < 200; ++frame) {
      const auto samples = stored(c.level1, c.level2, frame);
      ASSERT_GE(samples[0], c.min1);
      ASSERT_LE(samples[0], c.max1);
      ASSERT_GE(samples[1], c.min2);
      ASSERT_LE(samples[1], c.max2);
    }
  }
}

TEST(StoreFrame, LevelOneCoversAllThreeDitheredValues) {
  std::array<bool, 3> seen{};
  for (std::uint64_t frame = 0; frame < 200; ++frame) {
    seen.at(static_cast<std::size_t>(stored(1.0, 0.0, frame)[0] - 8388351)) = true;
  }
  EXPECT_EQ(seen, (std::array<bool, 3>{true, true, true}));
}

}  // namespace
}  // namespace mpx
