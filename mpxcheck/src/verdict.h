#pragma once

#include <string>
#include <vector>

#include "calibration_analysis.h"
#include "multiplex_analysis.h"

// The outcome of holding a measurement against the broadcast tolerances in broadcast.h.
struct Verdict {
  std::vector<std::string> failures;  // one sentence per figure out of tolerance

  bool pass() const { return failures.empty(); }
};

// Pilot frequency, pilot level and composite peak.
Verdict judge_multiplex(const MultiplexMeasurement& m);
// Pilot frequency and the peaks of both channels; a calibration pilot is loud on purpose, so its
// level is not judged.
Verdict judge_calibration(const CalibrationMeasurement& m);
