// The two-thread kernel build must give every byte the one-thread build gives, in every mode,
// and hand the caller correct frames from the start on while the helper is still at work.
#include "synth/kernel_build.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "synth/calibration_kernel.h"
#include "synth/mpx_kernel.h"

namespace mpx {
namespace {

struct Signal {
  const char* what;
  SignalMode mode;
  double amplitude;
  double frequency;
  double phase;
  double gain;
};

const Signal signals[] = {
    {"Mono 100 % 1000 Hz", SignalMode::Mono, 1.0, 1000.0, 0.0, 1.0},
    {"Left 100 % 15000 Hz, corrected", SignalMode::Left, 1.0, 15000.0, 0.05, 1.02},
    {"Right 37 % 400 Hz", SignalMode::Right, 0.37, 400.0, 0.0, 1.0},
    {"Antiphase 250 % 3000 Hz, corrected", SignalMode::Antiphase, 2.5, 3000.0, -0.3, 0.7},
    {"Left 300 % 1000 Hz", SignalMode::Left, 3.0, 1000.0, 0.0, 1.0},
    {"calibration", SignalMode::Check, 0.0, 400.0, 0.0, 1.0},
    {"calibration, corrected", SignalMode::Check, 0.0, 400.0, 0.05, 1.02},
};

GeneratorSettings settings_for(const Signal& signal) {
  GeneratorSettings settings;
  settings.mode_number = static_cast<std::int32_t>(signal.mode);
  settings.amplitude = signal.amplitude;
  settings.tone_frequency = signal.frequency;
  settings.subcarrier_phase_correction = signal.phase;
  settings.subcarrier_amplitude_correction = signal.gain;
  return settings;
}

struct Built {
  KernelBuffer kernel;
  double clock = 0.0;
  RandomSource dither;
  std::string message;
};

Built one_thread(const Signal& signal) {
  GeneratorSettings settings = settings_for(signal);
  Built built;
  std::ostringstream out;
  if (signal.mode == SignalMode::Check) {
    build_calibration_kernel(settings, built.kernel, built.dither, out);
  } else {
    build_mpx_kernel(settings, built.kernel, built.dither, out);
  }
  built.clock = settings.time_accumulator;
  built.message = out.str();
  return built;
}

Built two_threads(const Signal& signal) {
  GeneratorSettings settings = settings_for(signal);
  Built built;
  std::ostringstream out;
  build_kernel(settings, built.kernel, built.dither, out);
  built.clock = settings.time_accumulator;
  built.message = out.str();
  return built;
}

TEST(KernelBuild, TwoThreadsGiveTheOneThreadKernel) {
  for (const Signal& signal : signals) {
    SCOPED_TRACE(signal.what);
    const Built expected = one_thread(signal);
    const Built built = two_threads(signal);
    EXPECT_TRUE(built.kernel.bytes == expected.kernel.bytes);
    EXPECT_EQ(built.clock, expected.clock);
    EXPECT_EQ(built.dither.state, expected.dither.state);
    EXPECT_EQ(built.message, expected.message);
  }
}

TEST(KernelBuild, CallerChunksAreFinalFromTheStartOn) {
  for (const Signal& signal : signals) {
    SCOPED_TRACE(signal.what);
    const Built expected = one_thread(signal);
    KernelBuffer kernel;
    KernelBuild build(settings_for(signal), kernel, RandomSource{});
    std::size_t next_frame = 0;
    while (const auto chunk = build.build_next_chunk()) {
      ASSERT_EQ(chunk->first, next_frame);
      ASSERT_GT(chunk->last, chunk->first);
      // Only the caller's own frames are read before finish(): the helper may still be writing.
      const std::size_t end = chunk->last * frame_bytes;
      ASSERT_TRUE(std::equal(kernel.bytes.begin(), kernel.bytes.begin() + end,
                             expected.kernel.bytes.begin()));
      next_frame = chunk->last;
    }
    EXPECT_EQ(build.finish(), expected.clock);
    EXPECT_TRUE(kernel.bytes == expected.kernel.bytes);
  }
}

// Mono leaves out the subcarrier's sine, whose product with the zero difference signal cannot
// change a sample. Checked against the whole formula, with corrections and levels chosen to give
// zeros of both signs (negative level, negative subcarrier gain, level -0).
TEST(MonoKernel, MatchesTheWholeFormula) {
  const Signal cases[] = {
      {"100 % 1000 Hz", SignalMode::Mono, 1.0, 1000.0, 0.0, 1.0},
      {"70 % 400 Hz, corrected", SignalMode::Mono, 0.7, 400.0, 0.5, 1.3},
      {"-50 % 15000 Hz, negative gain", SignalMode::Mono, -0.5, 15000.0, 0.05, -1.0},
      {"level -0", SignalMode::Mono, -0.0, 1000.0, 0.3, -2.0},
      {"level 0, no gain", SignalMode::Mono, 0.0, 19000.0, 0.0, 0.0},
      {"300 % 95990 Hz, huge corrections", SignalMode::Mono, 3.0, 95990.0, 1000.0, 1e6},
  };
  for (const Signal& signal : cases) {
    SCOPED_TRACE(signal.what);
    const GeneratorSettings settings = settings_for(signal);
    KernelBuffer expected;
    RandomSource dither;
    double t = 0.0;
    for (std::size_t i = 0; i < frames_per_block; ++i) {
      const double tone =
          settings.amplitude * std::sin((t * settings.tone_frequency) * two_pi_rounded);
      const double sum = ((tone + tone) * 0.9) * 0.5;
      const double difference =
          std::sin((t * subcarrier_frequency_hz) * two_pi_rounded + signal.phase) *
          ((tone - tone) * signal.gain) * 0.5;
      const double pilot = std::sin((t * pilot_frequency_hz) * two_pi_rounded) * 0.1;
      store_frame(expected, dither, i, sum, (difference + pilot) * 0.9 + sum);
      t = time_step_s + t;
    }
    EXPECT_TRUE(one_thread(signal).kernel.bytes == expected.bytes);
  }
}

TEST(ChunkClaims, EveryChunkIsTakenOnceAndTheHelperWaitsOutsideTheSilence) {
  struct Case {
    const char* what;
    std::size_t helper_takes_first;  // helper chunks taken before the caller starts
    std::size_t caller_step;         // then one helper chunk after every caller_step chunks
  };
  const Case cases[] = {
      {"caller starts at once, helper never gets a turn", 0, 0},
      {"caller starts at once, both take turns", 0, 1},
      {"helper finishes its half first (a long lead-in)", kernel_chunk_count, 1},
      {"helper has a head start of three", 3, 2},
  };
  const std::size_t silent_frames = kernel_silence_bytes / frame_bytes;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ChunkClaims claims;
    std::vector<int> taken(kernel_chunk_count, 0);
    // Before the caller starts, the helper may only take chunks beyond the silent first half.
    for (std::size_t n = 0; n < c.helper_takes_first && !helper_must_wait(claims); ++n) {
      const auto chunk = take_back(claims);
      ASSERT_TRUE(chunk);
      ASSERT_GE(*chunk * kernel_chunk_frames, silent_frames);
      ++taken[*chunk];
    }
    if (c.helper_takes_first == kernel_chunk_count) {
      EXPECT_TRUE(helper_must_wait(claims));
    }
    std::size_t expected_front = 0;
    for (std::size_t n = 1;; ++n) {
      const auto chunk = take_front(claims);
      if (!chunk) break;
      ASSERT_EQ(*chunk, expected_front++);  // the caller's chunks follow each other from 0
      ++taken[*chunk];
      EXPECT_FALSE(helper_must_wait(claims));
      if (c.caller_step != 0 && n % c.caller_step == 0) {
        if (const auto back = take_back(claims)) ++taken[*back];
      }
    }
    EXPECT_FALSE(take_back(claims));
    for (std::size_t chunk = 0; chunk < kernel_chunk_count; ++chunk) {
      EXPECT_EQ(taken[chunk], 1) << "chunk " << chunk;
    }
  }
}

TEST(ChunkClaims, GivingUpLeavesNothingAndReleasesAWaitingHelper) {
  ChunkClaims claims;
  while (!helper_must_wait(claims)) ASSERT_TRUE(take_back(claims));
  give_up(claims);
  EXPECT_FALSE(helper_must_wait(claims));
  EXPECT_FALSE(take_back(claims));
  EXPECT_FALSE(take_front(claims));
}

TEST(KernelBuild, AbandonedBuildStopsItsHelper) {
  // As when writing the lead-in fails: the build is destroyed before the caller took a chunk or
  // after it took one, while the helper may still be building. The destructor has to stop and
  // join it (the sanitizer builds check that nothing is left running or touched afterwards).
  for (const Signal& signal : signals) {
    SCOPED_TRACE(signal.what);
    KernelBuffer kernel;
    { KernelBuild build(settings_for(signal), kernel, RandomSource{}); }
    {
      KernelBuild build(settings_for(signal), kernel, RandomSource{});
      build.build_next_chunk();
    }
  }
}

#if defined(__linux__)
TEST(KernelBuffer, StartsZeroedOnAHugePageBoundary) {
  const KernelBuffer kernel;
  EXPECT_EQ(reinterpret_cast<std::uintptr_t>(kernel.bytes.data()) % huge_page_bytes, 0u);
  ASSERT_EQ(kernel.bytes.size(), block_bytes);
  for (std::size_t i = 0; i < block_bytes; i += 4096) ASSERT_EQ(kernel.bytes[i], 0) << i;
  EXPECT_EQ(kernel.bytes[block_bytes - 1], 0);
}
#endif

}  // namespace
}  // namespace mpx
