// mpxcheck on multiplex files written by make_mpx.py, a numpy model of ITU-R BS.450 that shares no
// code with mpxtone or mpxcheck, with known impairments.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "report_checks.h"

namespace {

// Limits, derived for these files: 1.5 s of tone, of which mpxcheck measures the steady middle
// (1.4 s, N = 268800 samples at 192 kHz) through a Hann window.
// Noise: triangular dither of +-1 LSB plus rounding leaves white noise of rms 0.5 LSB, 6e-8 of
// full scale at 24 bits, 1.5e-5 at 16 bits; float32 rounding is below the 24-bit figure. A
// Hann-weighted phasor carries noise of rms sigma*sqrt(3/N) per component: 2e-10 (24-bit),
// 5e-8 (16-bit), 3.4e-7 with the 1e-4 rms noise of the "recorded" file.
// - levels: error at most 3.4e-5 %; the limit is the report's last printed digit, 0.001 %.
// - frequencies: the search stops within 1e-4 bin (7e-5 Hz); noise adds under 1e-6 Hz: 0.001 Hz.
// - subcarrier phase: noise over one sideband's 0.225: 1.5e-6 rad, 1e-4 deg: limit 0.01 deg.
// - difference gain error: a ratio of two levels, error under 1e-4 %: limit 0.01 %.
// - separation of a decoder with a known fault: the analytic figure; its weaker channel
//   (>= 6e-4 of full scale) is known to better than 1e-6 relative: limit 0.01 dB.
// - separation of a faultless file: the weaker channel is noise alone, about sqrt(3) times the
//   phasor noise: >= 180 dB at 24 bits, >= 124 dB for the noisy 16-bit file. Limits 20 dB lower
//   (a Rayleigh-distributed magnitude exceeds its rms by 10 dB once in 10^4): 150 dB and 100 dB.
// - a part that should be absent (sum in Antiphase, difference in Mono): same noise floor,
//   limit 140 dB below the part that is present.
constexpr double level_limit_percent = 0.001;
constexpr double frequency_limit_hz = 0.001;
constexpr double phase_limit_deg = 0.01;
constexpr double gain_limit_percent = 0.01;
constexpr double separation_limit_db = 0.01;
constexpr double clean_separation_db = 150.0;
constexpr double noisy_separation_db = 100.0;
constexpr double absent_part_db = 140.0;

// Separation of a decoder whose subcarrier is off by `phase_deg` and whose difference signal has
// gain `gain`: left = 1 + g*cos(phi), right = 1 - g*cos(phi) for a Left-only tone.
double faulty_separation_db(double phase_deg, double gain) {
  const double c = gain * std::cos(phase_deg * std::numbers::pi / 180.0);
  return 20.0 * std::log10((1.0 + c) / std::abs(1.0 - c));
}

struct GeneratedCase {
  std::string name;
  std::vector<std::string> generator_options;
  std::vector<Figure> figures;
  int exit_status = 0;
};

void PrintTo(const GeneratedCase& c, std::ostream* out) { *out << c.name; }

const std::vector<GeneratedCase> generated_cases = {
    // Faultless Left tone: pilot and levels exact, no crosstalk.
    {"left_1khz",
     {"--mode", "L", "--tone-hz", "1000"},
     {near("composite_channel", 2, 0), near("pilot_frequency_hz", 19000, frequency_limit_hz),
      near("pilot_level_percent", 9, level_limit_percent),
      near("tone_frequency_hz", 1000, frequency_limit_hz),
      near("left_level_percent", 90, level_limit_percent),
      near("sum_level_percent", 45, level_limit_percent),
      near("difference_level_percent", 45, level_limit_percent),
      at_least("separation_left_to_right_db", clean_separation_db),
      null_figure("separation_right_to_left_db"), near("subcarrier_phase_deg", 0, phase_limit_deg),
      near("difference_gain_error_percent", 0, gain_limit_percent)}},
    // Pilot at the bottom of its level range and 1.5 Hz high: still in tolerance.
    {"pilot_low_and_high",
     {"--pilot-level", "0.08", "--pilot-hz", "19001.5"},
     {near("pilot_frequency_hz", 19001.5, frequency_limit_hz),
      near("pilot_level_percent", 8, level_limit_percent),
      at_least("separation_left_to_right_db", clean_separation_db)}},
    // Subcarrier 3 degrees late against the pilot: phase found, separation falls as cos(3 deg).
    {"phase_error_3deg",
     {"--phase-deg", "3"},
     {near("subcarrier_phase_deg", 3, phase_limit_deg),
      near("separation_left_to_right_db", faulty_separation_db(3, 1), separation_limit_db),
      near("difference_gain_error_percent", 0, gain_limit_percent)}},
    // Negative phase error on a Right tone: the sign must survive.
    {"phase_error_minus_2deg_right",
     {"--phase-deg", "-2", "--mode", "R"},
     {near("subcarrier_phase_deg", -2, phase_limit_deg),
      near("separation_right_to_left_db", faulty_separation_db(2, 1), separation_limit_db)}},
    // Difference signal 5 % too strong.
    {"difference_gain_5pct",
     {"--diff-gain", "1.05"},
     {near("difference_gain_error_percent", 5, gain_limit_percent),
      near("separation_left_to_right_db", faulty_separation_db(0, 1.05), separation_limit_db),
      near("subcarrier_phase_deg", 0, phase_limit_deg)}},
    // A recorded composite: one channel, 16-bit, white noise at -80 dBFS, Right tone at 10 kHz.
    {"recorded_16bit_mono",
     {"--layout", "mono", "--format", "pcm16", "--noise", "1e-4", "--mode", "R", "--tone-hz",
      "10000"},
     {near("composite_channel", 1, 0), near("pilot_frequency_hz", 19000, frequency_limit_hz),
      near("pilot_level_percent", 9, level_limit_percent),
      near("right_level_percent", 90, level_limit_percent),
      at_least("separation_right_to_left_db", noisy_separation_db),
      null_figure("separation_left_to_right_db")}},
    // 32-bit float, Antiphase at 15 kHz: the sum signal vanishes.
    {"float_antiphase_15khz",
     {"--format", "float", "--mode", "A", "--tone-hz", "15000"},
     {near("tone_frequency_hz", 15000, frequency_limit_hz),
      near("difference_level_percent", 90, level_limit_percent),
      below_db("sum_level_percent", "difference_level_percent", absent_part_db),
      null_figure("separation_left_to_right_db"), null_figure("difference_gain_error_percent")}},
    // RF64 with 32-bit integers, Mono: no difference signal, so no phase and no gain error.
    {"rf64_32bit_mono",
     {"--container", "rf64", "--format", "pcm32", "--mode", "M"},
     {near("sum_level_percent", 90, level_limit_percent),
      below_db("difference_level_percent", "sum_level_percent", absent_part_db),
      null_figure("subcarrier_phase_deg"), null_figure("difference_gain_error_percent")}},
    // Extensible header, Right tone at 15 kHz.
    {"extensible_right_15khz",
     {"--container", "wavex", "--mode", "R", "--tone-hz", "15000"},
     {near("tone_frequency_hz", 15000, frequency_limit_hz),
      at_least("separation_right_to_left_db", clean_separation_db)}},
    // Lowest rate accepted, highest tone in the audio band: upper sideband at 53 kHz.
    {"rate_128khz_15khz",
     {"--rate", "128000", "--tone-hz", "15000"},
     {near("left_level_percent", 90, level_limit_percent),
      at_least("separation_left_to_right_db", clean_separation_db)}},
    // Low tone: its sidebands lie only 80 Hz apart around the subcarrier.
    {"left_40hz",
     {"--tone-hz", "40"},
     {near("tone_frequency_hz", 40, frequency_limit_hz),
      at_least("separation_left_to_right_db", clean_separation_db)}},
    // Pilot alone before and after the tone: only the tone part is measured.
    {"pilot_only_lead",
     {"--pilot-lead", "--lead-in", "1", "--lead-out", "0.5"},
     {near("left_level_percent", 90, level_limit_percent),
      near("pilot_level_percent", 9, level_limit_percent)}},
    // 1 % of the subcarrier left unsuppressed.
    {"residual_carrier_1pct",
     {"--residual", "0.01"},
     {near("residual_38k_percent", 1, level_limit_percent)}},
    // Pilot alone: pilot measured, tone figures null.
    {"pilot_alone",
     {"--mode", "none"},
     {near("pilot_level_percent", 9, level_limit_percent), null_figure("tone_frequency_hz"),
      null_figure("left_level_percent"), null_figure("subcarrier_phase_deg")}},
    // Calibration file: 38 kHz 10 degrees ahead of twice the pilot's phase.
    {"calibration_10deg",
     {"--layout", "calibration", "--phase-deg", "10"},
     {near("pilot_channel", 2, 0), near("subcarrier_channel", 1, 0),
      near("pilot_frequency_hz", 19000, frequency_limit_hz),
      near("pilot_level_percent", 50, level_limit_percent),
      near("subcarrier_level_percent", 50, level_limit_percent),
      near("subcarrier_phase_deg", 10, phase_limit_deg), null_figure("left_level_percent")}},
    // Out of tolerance: pilot level 7.5 %.
    {"pilot_level_low",
     {"--pilot-level", "0.075"},
     {near("pilot_level_percent", 7.5, level_limit_percent)},
     1},
    // Out of tolerance: pilot 3 Hz high.
    {"pilot_frequency_high",
     {"--pilot-hz", "19003"},
     {near("pilot_frequency_hz", 19003, frequency_limit_hz)},
     1},
    // Out of tolerance: a float file whose Mono tone reaches 0.9 * 1.1 = 99 %; with the pilot the
    // composite 0.99 sin(wt) + 0.09 sin(19 wt) peaks at 106.67 % of full scale.
    {"composite_over_full_scale",
     {"--format", "float", "--mode", "M", "--level", "1.1"},
     {near("composite_peak_percent", 106.67, 0.01)},
     1},
};

class GeneratedFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (python_exe.empty()) GTEST_SKIP() << "no python3 with numpy to write test files";
  }
  ScratchDir scratch;
};

class GeneratedCaseTest : public GeneratedFileTest,
                          public ::testing::WithParamInterface<GeneratedCase> {};

TEST_P(GeneratedCaseTest, RecoversKnownImpairments) {
  const GeneratedCase& c = GetParam();
  SCOPED_TRACE(c.name);
  const auto file = scratch / (c.name + ".wav");
  ASSERT_TRUE(make_test_file(file, c.generator_options, scratch));
  const std::optional<JsonObject> report = checked_report(file, c.exit_status, scratch);
  if (report) expect_figures(*report, c.figures);
}

INSTANTIATE_TEST_SUITE_P(Files, GeneratedCaseTest, ::testing::ValuesIn(generated_cases),
                         [](const auto& info) { return info.param.name; });

TEST_F(GeneratedFileTest, FailingVerdictNamesTheFigure) {
  const auto file = scratch / "low_pilot.wav";
  ASSERT_TRUE(make_test_file(file, {"--pilot-level", "0.075"}, scratch));
  const RunResult run = run_mpxcheck({file.string()}, scratch);
  EXPECT_EQ(run.exit_status, 1);
  EXPECT_NE(run.out.find("verdict: fail (pilot level 7.500 % outside 8 % to 10 %)"),
            std::string::npos)
      << run.out;
}

}  // namespace
