#pragma once

#include <cstddef>

#include "audio_file.h"
#include "channel_layout.h"
#include "signal_span.h"
#include "spectrum.h"

// A calibration file holds the 38 kHz subcarrier alone in one channel and the 19 kHz pilot alone
// in another, so that the phase between them can be set on an oscilloscope or measured here.
struct CalibrationMeasurement {
  std::size_t pilot_channel = 0;       // 0-based
  std::size_t subcarrier_channel = 0;  // 0-based
  SampleSpan analysed;
  double pilot_frequency_hz = 0;
  double pilot_level = 0;
  double subcarrier_frequency_hz = 0;
  double subcarrier_level = 0;
  // Phase of the 38 kHz sine against twice the pilot sine's phase, in (-180°, 180°]: 0 when
  // every zero crossing of the pilot coincides with a positive-going one of the subcarrier.
  double subcarrier_phase_deg = 0;
  double pilot_channel_peak = 0;
  double subcarrier_channel_peak = 0;
  Spectrum pilot_spectrum;
  Spectrum subcarrier_spectrum;
};

CalibrationMeasurement analyse_calibration(const AudioFile& audio, const ChannelLayout& layout);
