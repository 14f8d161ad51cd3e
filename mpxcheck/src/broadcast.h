#pragma once

// Figures of the pilot-tone stereo system, ITU-R BS.450.
inline constexpr double pilot_frequency_hz = 19000.0;
inline constexpr double pilot_frequency_tolerance_hz = 2.0;
inline constexpr double pilot_level_min_percent = 8.0;
inline constexpr double pilot_level_max_percent = 10.0;
inline constexpr double composite_peak_max_percent = 100.0;

// Where we look for a pilot: wide enough to find and report one that is out of tolerance.
inline constexpr double pilot_search_half_width_hz = 100.0;
// A pilot must be at least this strong (-60 dBFS) and stand this far above the noise around it.
inline constexpr double pilot_minimum_amplitude = 1e-3;
inline constexpr double pilot_minimum_snr = 100.0;  // 40 dB

// Audio tones are looked for from tone_lowest_hz up to this far below the pilot; the sidebands
// around the 38 kHz subcarrier are searched at the same distances from it.
inline constexpr double tone_lowest_hz = 15.0;
inline constexpr double tone_gap_below_pilot_hz = 500.0;
// A tone must reach -80 dBFS and stand 30 dB above the median of the band it is found in.
inline constexpr double tone_minimum_amplitude = 1e-4;
inline constexpr double tone_minimum_snr = 31.6;  // 30 dB

// The longest stretch measured: more adds time but no accuracy a test file needs.
inline constexpr double longest_measurement_s = 4.0;
// The shortest signal worth measuring.
inline constexpr double shortest_signal_s = 0.1;
