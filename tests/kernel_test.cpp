#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <sstream>
#include <string>

#include "run/generator_settings.h"
#include "support/sha256.h"
#include "synth/calibration_kernel.h"
#include "synth/mpx_kernel.h"

namespace mpx {
namespace {

using testing::sha256_hex;

struct Signal {
  SignalMode mode = SignalMode::Mono;
  double amplitude = 1.0;
  double frequency = 1000.0;
  double phase = 0.0;
  double gain = 1.0;
};

struct Built {
  KernelBuffer kernel;
  std::string transcript;
};

Built build(const Signal& signal) {
  GeneratorSettings settings;
  settings.mode_number = static_cast<std::int32_t>(signal.mode);
  settings.amplitude = signal.amplitude;
  settings.tone_frequency = signal.frequency;
  settings.subcarrier_phase_correction = signal.phase;
  settings.subcarrier_amplitude_correction = signal.gain;
  Built built;
  RandomSource dither;
  std::ostringstream out;
  if (signal.mode == SignalMode::Check) {
    build_calibration_kernel(settings, built.kernel, dither, out);
  } else {
    build_mpx_kernel(settings, built.kernel, dither, out);
  }
  built.transcript = out.str();
  return built;
}

std::string hex_bytes(const KernelBuffer& kernel, std::size_t first, std::size_t count) {
  std::string text;
  for (std::size_t i = first; i < first + count; ++i) {
    char byte[4];
    std::snprintf(byte, sizeof byte, "%02x", kernel.bytes[i]);
    if (!text.empty()) text += ' ';
    text += byte;
  }
  return text;
}

std::int32_t sample(const KernelBuffer& kernel, std::size_t frame, int channel) {
  const std::uint8_t* p = kernel.bytes.data() + frame * frame_bytes + channel * bytes_per_sample;
  const std::int32_t v = p[0] | (p[1] << 8) | (p[2] << 16);
  return v >= 0x800000 ? v - 0x1000000 : v;
}

struct Range {
  std::int32_t min = 0;
  std::int32_t max = 0;
};

Range channel_range(const KernelBuffer& kernel, int channel) {
  Range range{sample(kernel, 0, channel), sample(kernel, 0, channel)};
  for (std::size_t i = 1; i < frames_per_block; ++i) {
    range.min = std::min(range.min, sample(kernel, i, channel));
    range.max = std::max(range.max, sample(kernel, i, channel));
  }
  return range;
}

TEST(Kernels, WholeBlockDigests) {
  struct Case {
    const char* what;
    Signal signal;
    std::string digest;
  };
  const Case cases[] = {
      {"Mono 100 % 1000 Hz", {SignalMode::Mono},
       "65d8ac146cc0b1a855da0349cfca9d72508c973964539df3fff680330a3952a5"},
      {"calibration", {SignalMode::Check},
       "d4ee5f0f077e38cef3069a4cea87c579a6732027a45eed19f12afebcb0a875db"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const Built built = build(c.signal);
    EXPECT_EQ(sha256_hex(built.kernel.bytes.data(), built.kernel.bytes.size()), c.digest);
  }
}

TEST(Kernels, FirstFramesAndMessage) {
  struct Case {
    const char* what;
    Signal signal;
    std::string frames_0_to_3;
    std::string message;
  };
  const std::string zero = "00 00 00 00 00 00 ";
  const Case cases[] = {
      {"Mono", {SignalMode::Mono},
       zero + "e6 c4 03 a4 7a 0a c2 88 07 49 71 12 8e 4a 0b 9a 50 16", "MPX kernel created\n"},
      {"Left", {SignalMode::Left},
       zero + "73 e2 01 09 61 0a 61 c4 03 fc f7 10 47 a5 05 5f 88 0d", "MPX kernel created\n"},
      {"Antiphase", {SignalMode::Antiphase},
       zero + "01 00 00 6f 47 0a 00 00 00 ae 7e 0f 00 00 00 24 c0 04", "MPX kernel created\n"},
      {"calibration", {SignalMode::Check},
       zero + "08 9a 3c 06 47 25 a4 f5 26 08 9a 3c d1 71 dc 09 3e 3d",
       "Calibration kernel created\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const Built built = build(c.signal);
    EXPECT_EQ(hex_bytes(built.kernel, 0, 24), c.frames_0_to_3);
    EXPECT_EQ(built.transcript, c.message);
  }
}

TEST(Kernels, ChannelRanges) {
  struct Case {
    const char* what;
    Signal signal;
    Range channel1, channel2;
  };
  const Case cases[] = {
      // The tone crest meets a pilot trough, so channel 2 stays below 0.99 of full scale.
      {"Mono 100 %", {SignalMode::Mono}, {-7549518, 7549518}, {-8203298, 8203298}},
      // Half of full scale (4194176) plus up to one step of dither.
      {"calibration", {SignalMode::Check}, {-4194177, 4194177}, {-4194177, 4194177}},
      // Antiphase: no sum signal, channel 1 holds only dither; channel 2 carries the
      // difference signal (0.9) and the pilot (0.09) without reaching the limiter.
      {"Antiphase", {SignalMode::Antiphase}, {-1, 1}, {-7828825, 7828828}},
      // No subcarrier gain: the calibration's channel 1 is dither only.
      {"calibration g 0", {SignalMode::Check, 1.0, 1000.0, 0.0, 0.0}, {-1, 1}, {-4194177, 4194177}},
      // Level 3.0 on Left: channel 1 (1.35 of full scale) saturates instead of wrapping.
      {"Left 300 %", {SignalMode::Left, 3.0}, {-8388608, 8388607}, {-8388352, 8388352}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const Built built = build(c.signal);
    const Range one = channel_range(built.kernel, 0);
    const Range two = channel_range(built.kernel, 1);
    EXPECT_EQ(one.min, c.channel1.min);
    EXPECT_EQ(one.max, c.channel1.max);
    EXPECT_EQ(two.min, c.channel2.min);
    EXPECT_EQ(two.max, c.channel2.max);
  }
}

TEST(Kernels, FrameZeroIsSilentInEveryToneModeWhateverTheCorrections) {
  for (SignalMode mode :
       {SignalMode::Mono, SignalMode::Left, SignalMode::Right, SignalMode::Antiphase}) {
    SCOPED_TRACE(static_cast<int>(mode));
    const Built built = build({mode, 0.8, 15000.0, 0.3, 1.7});
    EXPECT_EQ(hex_bytes(built.kernel, 0, 6), "00 00 00 00 00 00");
  }
}

TEST(Kernels, CalibrationPhaseCorrectionShowsInFrameZero) {
  const double phase = 0.05;
  const Built built = build({SignalMode::Check, 1.0, 1000.0, phase, 1.02});
  const std::int32_t expected =
      quantise_sample(full_scale * (std::sin(phase) * (1.02 * 0.5)) - 0.40625);
  EXPECT_EQ(sample(built.kernel, 0, 0), expected);
}

TEST(Kernels, MonoIgnoresSubcarrierCorrections) {
  const Built plain = build({SignalMode::Mono, 0.7, 400.0, 0.0, 1.0});
  const Built corrected = build({SignalMode::Mono, 0.7, 400.0, 0.5, 1.3});
  EXPECT_EQ(plain.kernel.bytes, corrected.kernel.bytes);
}

TEST(Kernels, ZeroLevelLeavesOnlyThePilot) {
  const Built built = build({SignalMode::Left, 0.0});
  const Range one = channel_range(built.kernel, 0);
  const Range two = channel_range(built.kernel, 1);
  EXPECT_GE(one.min, -1);
  EXPECT_LE(one.max, 1);
  // 0.09 of full scale = 754951.68, plus or minus one step of dither.
  EXPECT_NEAR(two.max, 754952, 1);
  EXPECT_NEAR(two.min, -754952, 1);
}

TEST(Kernels, RightIsLeftWithTheDifferenceInverted) {
  // Left and Right share the sum signal; channel 1 is identical apart from nothing at all.
  const Built left = build({SignalMode::Left, 0.5, 3000.0});
  const Built right = build({SignalMode::Right, 0.5, 3000.0});
  for (std::size_t i = 0; i < frames_per_block; i += 997) {
    SCOPED_TRACE(i);
    ASSERT_EQ(sample(left.kernel, i, 0), sample(right.kernel, i, 0));
  }
  EXPECT_NE(left.kernel.bytes, right.kernel.bytes);
}

}  // namespace
}  // namespace mpx
