#pragma once

#include <cstddef>
#include <optional>

#include "audio_file.h"

// Which channel holds what. A multiplex file carries the composite signal (with its 19 kHz
// pilot) in one channel; an mpxtone tone file puts it in channel 2 beside the sum signal in
// channel 1. A calibration file holds a 38 kHz tone in one channel and a 19 kHz tone in another.
struct ChannelLayout {
  bool calibration = false;
  std::size_t composite_channel = 0;   // 0-based; for a calibration file, the 19 kHz channel
  std::size_t subcarrier_channel = 0;  // calibration only: the 38 kHz channel
};

// A calibration file's 38 kHz tone must be its channel's strongest line, this close to twice the
// pilot, and at least this strong.
inline constexpr double calibration_tone_tolerance_hz = 5.0;
inline constexpr double calibration_tone_minimum_amplitude = 1e-2;

// Finds the layout, or, when `requested_channel` (1-based) is given, takes that channel as the
// composite. Throws CheckError when there is only silence or no pilot.
ChannelLayout find_layout(const AudioFile& audio, std::optional<int> requested_channel);
