#include "report.h"

#include <cmath>
#include <cstdio>
#include <optional>

#include "json_writer.h"

namespace {

// dBFS readings stop here instead of running to minus infinity.
constexpr double lowest_dbfs = -200.0;

double to_percent(double level) { return level * 100.0; }

std::optional<double> to_percent(std::optional<double> level) {
  if (!level) return std::nullopt;
  return *level * 100.0;
}

double to_dbfs(double level) {
  return std::max(lowest_dbfs, 20.0 * std::log10(std::max(level, 1e-300)));
}

std::string printed(const char* format, double value) {
  char text[64];
  std::snprintf(text, sizeof text, format, value);
  return text;
}

std::string level_text(double level) {
  return printed("%.3f %%", to_percent(level)) + ", " + printed("%.2f dBFS", to_dbfs(level));
}

std::string seconds_at(std::size_t sample, double rate_hz) {
  return printed("%.3f s", static_cast<double>(sample) / rate_hz);
}

std::string line(const std::string& name, const std::string& value) {
  return name + ": " + value + "\n";
}

std::string optional_line(const std::string& name, std::optional<double> value,
                          const char* format) {
  return line(name, value ? printed(format, *value) : "n/a");
}

std::string header_lines(const Analysis& a) {
  return line("file", a.file_name) +
         line("format",
              a.container + ", " + a.sample_format + ", " + printed("%.0f Hz", a.sample_rate_hz) +
                  ", " + std::to_string(a.channel_count) + " channel" +
                  (a.channel_count == 1 ? "" : "s") + ", " + printed("%.3f s", a.duration_s));
}

std::string verdict_line(const Verdict& verdict) {
  if (verdict.pass()) return line("verdict", "pass");
  std::string reasons;
  for (const std::string& failure : verdict.failures) {
    reasons += (reasons.empty() ? "" : "; ") + failure;
  }
  return line("verdict", "fail (" + reasons + ")");
}

std::string multiplex_text(const Analysis& a, const MultiplexMeasurement& m) {
  std::string out = line("composite channel", std::to_string(m.channel + 1));
  out += line("analysed", seconds_at(m.analysed.begin, a.sample_rate_hz) + " to " +
                              seconds_at(m.analysed.end, a.sample_rate_hz));
  out += line("pilot frequency", printed("%.3f Hz", m.pilot_frequency_hz));
  out += line("pilot level", level_text(m.pilot_level));
  if (m.tone_frequency_hz) {
    const std::string frequency = printed("%.3f Hz", *m.tone_frequency_hz);
    out += line("tone frequency", frequency);
    out += line("left", frequency + ", " + level_text(*m.left_level));
    out += line("right", frequency + ", " + level_text(*m.right_level));
    out += line("sum level", level_text(*m.sum_level));
    out += line("difference level", level_text(*m.difference_level));
  } else {
    out += line("tone", "none found");
  }
  out += optional_line("separation left to right", m.separation_left_to_right_db, "%.1f dB");
  out += optional_line("separation right to left", m.separation_right_to_left_db, "%.1f dB");
  out += optional_line("subcarrier phase", m.subcarrier_phase_deg, "%.3f deg");
  out += optional_line("difference gain error", m.difference_gain_error_percent, "%+.3f %%");
  out += line("residual 38 kHz carrier", level_text(m.residual_38k_level));
  out += line("composite peak", level_text(m.composite_peak));
  return out;
}

std::string calibration_text(const Analysis& a, const CalibrationMeasurement& m) {
  std::string out =
      line("calibration file", "38 kHz in channel " + std::to_string(m.subcarrier_channel + 1) +
                                   ", 19 kHz in channel " + std::to_string(m.pilot_channel + 1));
  out += line("analysed", seconds_at(m.analysed.begin, a.sample_rate_hz) + " to " +
                              seconds_at(m.analysed.end, a.sample_rate_hz));
  out += line("pilot frequency", printed("%.3f Hz", m.pilot_frequency_hz));
  out += line("pilot level", level_text(m.pilot_level));
  out += line("subcarrier frequency", printed("%.3f Hz", m.subcarrier_frequency_hz));
  out += line("subcarrier level", level_text(m.subcarrier_level));
  out += line("subcarrier phase", printed("%.3f deg", m.subcarrier_phase_deg));
  out += line("19 kHz channel peak", level_text(m.pilot_channel_peak));
  out += line("38 kHz channel peak", level_text(m.subcarrier_channel_peak));
  return out;
}

std::vector<JsonMember> multiplex_json(const MultiplexMeasurement& m) {
  return {
      {"kind", json_string("multiplex")},
      {"composite_channel", json_number(static_cast<double>(m.channel + 1))},
      {"pilot_frequency_hz", json_number(m.pilot_frequency_hz)},
      {"pilot_level_percent", json_number(to_percent(m.pilot_level))},
      {"tone_frequency_hz", json_number(m.tone_frequency_hz)},
      {"left_level_percent", json_number(to_percent(m.left_level))},
      {"right_level_percent", json_number(to_percent(m.right_level))},
      {"sum_level_percent", json_number(to_percent(m.sum_level))},
      {"difference_level_percent", json_number(to_percent(m.difference_level))},
      {"separation_left_to_right_db", json_number(m.separation_left_to_right_db)},
      {"separation_right_to_left_db", json_number(m.separation_right_to_left_db)},
      {"subcarrier_phase_deg", json_number(m.subcarrier_phase_deg)},
      {"difference_gain_error_percent", json_number(m.difference_gain_error_percent)},
      {"residual_38k_percent", json_number(to_percent(m.residual_38k_level))},
      {"composite_peak_percent", json_number(to_percent(m.composite_peak))},
      {"subcarrier_frequency_hz", "null"},
      {"subcarrier_level_percent", "null"},
  };
}

std::vector<JsonMember> calibration_json(const CalibrationMeasurement& m) {
  return {
      {"kind", json_string("calibration")},
      {"pilot_channel", json_number(static_cast<double>(m.pilot_channel + 1))},
      {"subcarrier_channel", json_number(static_cast<double>(m.subcarrier_channel + 1))},
      {"pilot_frequency_hz", json_number(m.pilot_frequency_hz)},
      {"pilot_level_percent", json_number(to_percent(m.pilot_level))},
      {"tone_frequency_hz", "null"},
      {"left_level_percent", "null"},
      {"right_level_percent", "null"},
      {"sum_level_percent", "null"},
      {"difference_level_percent", "null"},
      {"separation_left_to_right_db", "null"},
      {"separation_right_to_left_db", "null"},
      {"subcarrier_phase_deg", json_number(m.subcarrier_phase_deg)},
      {"difference_gain_error_percent", "null"},
      {"residual_38k_percent", "null"},
      {"composite_peak_percent", "null"},
      {"subcarrier_frequency_hz", json_number(m.subcarrier_frequency_hz)},
      {"subcarrier_level_percent", json_number(to_percent(m.subcarrier_level))},
      {"pilot_channel_peak_percent", json_number(to_percent(m.pilot_channel_peak))},
      {"subcarrier_channel_peak_percent", json_number(to_percent(m.subcarrier_channel_peak))},
  };
}

}  // namespace

std::string text_report(const Analysis& analysis) {
  std::string out = header_lines(analysis);
  if (analysis.multiplex) out += multiplex_text(analysis, *analysis.multiplex);
  if (analysis.calibration) out += calibration_text(analysis, *analysis.calibration);
  return out + verdict_line(analysis.verdict);
}

std::string json_report(const Analysis& analysis) {
  std::vector<JsonMember> members = {{"file", json_string(analysis.file_name)}};
  const std::vector<JsonMember> figures = analysis.multiplex
                                              ? multiplex_json(*analysis.multiplex)
                                              : calibration_json(*analysis.calibration);
  members.insert(members.end(), figures.begin(), figures.end());
  members.push_back({"verdict", json_string(analysis.verdict.pass() ? "pass" : "fail")});
  members.push_back({"failures", json_string_array(analysis.verdict.failures)});
  return json_object(members);
}
