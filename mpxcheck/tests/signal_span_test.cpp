#include "signal_span.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

namespace {

constexpr double rate_hz = 192000;

// `seconds` of a sine at `level` (peak), 19 kHz.
std::vector<double> sine(double seconds, double level) {
  std::vector<double> out(static_cast<std::size_t>(seconds * rate_hz));
  for (std::size_t i = 0; i < out.size(); ++i) {
    out[i] = level * std::sin(2 * std::numbers::pi * 19000.0 * static_cast<double>(i) / rate_hz);
  }
  return out;
}

std::vector<double> joined(std::initializer_list<std::vector<double>> parts) {
  std::vector<double> out;
  for (const auto& part : parts) out.insert(out.end(), part.begin(), part.end());
  return out;
}

double seconds(std::size_t index) { return static_cast<double>(index) / rate_hz; }

TEST(SignalSpanTest, SkipsSilenceAndDither) {
  // Leading and trailing "silence" of +-2 LSB of 16 bits, as dither leaves it.
  std::vector<double> quiet(static_cast<std::size_t>(0.5 * rate_hz));
  for (std::size_t i = 0; i < quiet.size(); ++i) quiet[i] = (i % 2 ? 2.0 : -2.0) / 32768.0;
  const std::vector<double> samples = joined({quiet, sine(1.0, 0.5), quiet});
  const std::optional<SampleSpan> signal = find_signal(samples, rate_hz);
  ASSERT_TRUE(signal.has_value());
  EXPECT_NEAR(seconds(signal->begin), 0.5, silence_block_s);
  EXPECT_NEAR(seconds(signal->end), 1.5, silence_block_s);
}

TEST(SignalSpanTest, SilenceOnlyHasNoSignal) {
  const std::vector<double> samples(static_cast<std::size_t>(rate_hz), 0.0);
  EXPECT_FALSE(find_signal(samples, rate_hz).has_value());
}

TEST(SignalSpanTest, SteadyPartIsTheLoudestLongStretch) {
  struct Case {
    std::string name;
    std::vector<double> samples;
    double begin_s;  // expected, within one level block
    double end_s;
  };
  const std::vector<Case> cases = {
      // Pilot-level lead-in, tone, pilot-level lead-out: the tone is chosen, less a guard block.
      {"lead_in_tone_lead_out", joined({sine(1.0, 0.09), sine(2.0, 0.9), sine(0.5, 0.09)}),
       1.0 + level_block_s, 3.0 - level_block_s},
      // A loud burst shorter than minimum_steady_s is passed over for the long stretch.
      {"short_burst", joined({sine(0.1, 0.9), sine(1.0, 0.3)}), 0.1 + level_block_s,
       1.1 - level_block_s},
      // A level that keeps changing (a 0.2 s ramp per dB step) has no steady stretch: all of it.
      {"no_steady_stretch",
       [] {
         std::vector<double> out;
         for (int step = 0; step < 10; ++step) {
           const auto part = sine(0.1, 0.9 * std::pow(10.0, -2.0 * step / 20.0));
           out.insert(out.end(), part.begin(), part.end());
         }
         return out;
       }(),
       0.0, 1.0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const SampleSpan whole{0, c.samples.size()};
    const SampleSpan steady = find_steady_part(c.samples, whole, rate_hz);
    EXPECT_NEAR(seconds(steady.begin), c.begin_s, level_block_s);
    EXPECT_NEAR(seconds(steady.end), c.end_s, level_block_s);
  }
}

}  // namespace
