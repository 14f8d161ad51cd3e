#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "calibration_analysis.h"
#include "multiplex_analysis.h"
#include "verdict.h"

// Everything mpxcheck found out about one file: a multiplex measurement or a calibration one.
struct Analysis {
  std::string file_name;
  std::string container;
  std::string sample_format;
  double sample_rate_hz = 0;
  std::size_t channel_count = 0;
  double duration_s = 0;
  std::optional<MultiplexMeasurement> multiplex;
  std::optional<CalibrationMeasurement> calibration;
  Verdict verdict;
};

// Reads and measures `path`; `channel` (1-based) names the composite channel if given. Throws
// CheckError with the reason when the file cannot be analysed.
Analysis analyse_file(const std::filesystem::path& path, std::optional<int> channel);
