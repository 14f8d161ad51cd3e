#pragma once

#include <cstddef>
#include <optional>

#include "audio_file.h"
#include "signal_span.h"
#include "spectrum.h"

// What a stereo decoder locked to the pilot makes of a composite signal
//   c(t) = A·[(L+R)/2 + (L-R)/2 · g·sin(2·ωp·t + φ)] + P·sin(ωp·t)
// (ITU-R BS.450; A is about 90 %, P about 9 % of full scale, ωp = 2π·19 kHz) holding one test
// tone. Levels are peak amplitudes as fractions of the composite's full scale, so a full Left tone
// in a file with A = 90 % decodes at 0.9 on the left. Figures that the signal does not allow are
// left empty: no tone, no difference signal for a phase, a tone in both channels for separation.
struct MultiplexMeasurement {
  std::size_t channel = 0;  // 0-based
  SampleSpan analysed;
  double pilot_frequency_hz = 0;
  double pilot_level = 0;
  std::optional<double> tone_frequency_hz;
  std::optional<double> left_level;
  std::optional<double> right_level;
  std::optional<double> sum_level;         // A·(L+R)/2
  std::optional<double> difference_level;  // A·g·(L-R)/2, whatever the subcarrier's phase
  std::optional<double> separation_left_to_right_db;
  std::optional<double> separation_right_to_left_db;
  std::optional<double> subcarrier_phase_deg;           // φ, in (-90°, 90°]
  std::optional<double> difference_gain_error_percent;  // (g - 1) · 100
  double residual_38k_level = 0;
  double composite_peak = 0;  // largest sample magnitude in the channel
  Spectrum spectrum;          // of the analysed stretch
};

// Separation is given when one decoded channel lies at least this far below the other (a tone in
// one channel only); the difference gain then follows from the sum and difference levels.
inline constexpr double one_sided_margin_db = 10.0;
// Largest separation reported: a perfect decode of a float file would otherwise be infinite.
inline constexpr double separation_ceiling_db = 200.0;
// A sum or difference part weaker than this, relative to the whole tone, counts as absent.
inline constexpr double part_presence_ratio = 1e-4;  // -80 dB

MultiplexMeasurement analyse_multiplex(const AudioFile& audio, std::size_t channel);
