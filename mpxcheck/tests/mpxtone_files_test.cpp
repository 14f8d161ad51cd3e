// mpxcheck on the files mpxtone writes: the generator's signal, checked by an independent
// decoder. mpxtone finds its Settings file beside itself, so each run gets a private copy of the
// program in a scratch folder, with the Settings and the dialogue's answers the case needs.
#include <gtest/gtest.h>

#include <fstream>

#include "report_checks.h"

namespace {

// What the tests hold mpxtone's files to.
constexpr double pilot_frequency_limit_hz = 0.01;
constexpr double pilot_level_limit_percent = 0.01;
constexpr double minimum_separation_db = 90.0;
constexpr double absent_part_db = 90.0;
// 0.05 rad = 2.8648 degrees.
constexpr double phase_correction_rad = 0.05;
constexpr double phase_correction_deg = 2.8648;
constexpr double phase_limit_deg = 0.05;
constexpr double amplitude_correction = 1.02;
constexpr double gain_limit_percent = 0.1;

struct MpxtoneSettings {
  int lead_in_s = 1;
  int tone_s = 2;
  int lead_out_s = 1;
  double phase_correction_rad = 0.0;
  double amplitude_correction = 1.0;
};

struct MpxtoneCase {
  std::string name;
  std::string answers;  // typed into mpxtone's dialogue: mode, then level and frequency
  MpxtoneSettings settings;
  std::vector<Figure> figures;
};

void PrintTo(const MpxtoneCase& c, std::ostream* out) { *out << c.name; }

std::vector<Figure> pilot_figures() {
  return {near("pilot_frequency_hz", 19000, pilot_frequency_limit_hz),
          near("pilot_level_percent", 9, pilot_level_limit_percent)};
}

std::vector<Figure> with_pilot(std::vector<Figure> figures) {
  const std::vector<Figure> pilot = pilot_figures();
  figures.insert(figures.end(), pilot.begin(), pilot.end());
  return figures;
}

const std::vector<MpxtoneCase> mpxtone_cases = {
    // Left and Right at low, middle and high audio frequencies: no crosstalk.
    {"left_1khz",
     "L\n100\n1000\n",
     {},
     with_pilot({near("composite_channel", 2, 0),
                 at_least("separation_left_to_right_db", minimum_separation_db)})},
    {"left_10khz",
     "L\n100\n10000\n",
     {},
     with_pilot({at_least("separation_left_to_right_db", minimum_separation_db)})},
    {"left_15khz",
     "L\n100\n15000\n",
     {},
     with_pilot({at_least("separation_left_to_right_db", minimum_separation_db)})},
    {"right_1khz",
     "R\n100\n1000\n",
     {},
     with_pilot({at_least("separation_right_to_left_db", minimum_separation_db)})},
    {"right_10khz",
     "R\n100\n10000\n",
     {},
     with_pilot({at_least("separation_right_to_left_db", minimum_separation_db)})},
    {"right_15khz",
     "R\n100\n15000\n",
     {},
     with_pilot({at_least("separation_right_to_left_db", minimum_separation_db)})},
    // Mono: no difference signal.
    {"mono_1khz",
     "M\n100\n1000\n",
     {},
     with_pilot({below_db("difference_level_percent", "sum_level_percent", absent_part_db)})},
    // Antiphase: no sum signal.
    {"antiphase_1khz",
     "A\n100\n1000\n",
     {},
     with_pilot({below_db("sum_level_percent", "difference_level_percent", absent_part_db)})},
    // The Settings phase correction turns the subcarrier against the pilot.
    {"phase_correction",
     "L\n100\n1000\n",
     {1, 2, 1, phase_correction_rad, 1.0},
     with_pilot({near("subcarrier_phase_deg", phase_correction_deg, phase_limit_deg)})},
    // The Settings amplitude correction scales the difference signal.
    {"amplitude_correction",
     "L\n100\n1000\n",
     {1, 2, 1, 0.0, amplitude_correction},
     with_pilot({near("difference_gain_error_percent", (amplitude_correction - 1) * 100,
                      gain_limit_percent)})},
    // Calibration file: 38 kHz in phase with twice the pilot.
    {"calibration",
     "C\n",
     {},
     {near("pilot_frequency_hz", 19000, pilot_frequency_limit_hz),
      near("subcarrier_phase_deg", 0, phase_limit_deg)}},
};

// Runs mpxtone in `scratch` and returns the one WAV file it wrote, if it wrote one.
std::optional<std::filesystem::path> run_mpxtone(const MpxtoneCase& c, const ScratchDir& scratch) {
  const auto program = scratch / "mpxtone";
  std::filesystem::copy_file(mpxtone_exe, program);
  const auto out_dir = scratch / "out";
  std::filesystem::create_directory(out_dir);
  const MpxtoneSettings& s = c.settings;
  std::ofstream(scratch / "Settings") << out_dir.string() << '\n'
                                      << s.lead_in_s << '\n'
                                      << s.tone_s << '\n'
                                      << s.lead_out_s << '\n'
                                      << s.phase_correction_rad << '\n'
                                      << s.amplitude_correction << '\n';
  const RunResult run = run_program({program.string()}, scratch, c.answers);
  EXPECT_EQ(run.exit_status, 0) << run.out << run.err;
  std::vector<std::filesystem::path> written;
  for (const auto& entry : std::filesystem::directory_iterator(out_dir)) {
    if (entry.path().extension() == ".wav") written.push_back(entry.path());
  }
  EXPECT_EQ(written.size(), 1u) << "mpxtone output:\n" << run.out << run.err;
  if (written.size() != 1) return std::nullopt;
  return written.front();
}

class MpxtoneFileTest : public ::testing::TestWithParam<MpxtoneCase> {
 protected:
  void SetUp() override {
    if (mpxtone_exe.empty()) GTEST_SKIP() << "the mpxtone target is not part of this build";
    if (!scratch.size_limited()) {
      GTEST_SKIP() << "cannot mount a size-limited tmpfs for mpxtone's multi-megabyte files";
    }
  }
  ScratchDir scratch;
};

TEST_P(MpxtoneFileTest, DecodesAsExpected) {
  const MpxtoneCase& c = GetParam();
  SCOPED_TRACE(c.name);
  const std::optional<std::filesystem::path> file = run_mpxtone(c, scratch);
  ASSERT_TRUE(file.has_value());
  const std::optional<JsonObject> report = checked_report(*file, 0, scratch);
  if (report) expect_figures(*report, c.figures);
}

INSTANTIATE_TEST_SUITE_P(Files, MpxtoneFileTest, ::testing::ValuesIn(mpxtone_cases),
                         [](const auto& info) { return info.param.name; });

}  // namespace
