#pragma once

#include <cstddef>
#include <optional>
#include <span>

// A stretch of sample indices [begin, end).
struct SampleSpan {
  std::size_t begin = 0;
  std::size_t end = 0;

  std::size_t size() const { return end - begin; }
};

// Samples below this magnitude count as digital silence: -80 dBFS, three least significant bits
// of a 16-bit file, so that dither alone is still silence.
inline constexpr double silence_threshold = 1e-4;

// The part of `samples` between the leading and the trailing silence, to a resolution of
// silence_block_s; empty when the whole channel is silent.
inline constexpr double silence_block_s = 0.001;
std::optional<SampleSpan> find_signal(std::span<const double> samples, double sample_rate_hz);

// Within `signal`, the loudest stretch of steady level: test files often put a pilot-only lead-in
// before the tone, and tone bursts may be faded in and out. The level is followed in blocks of
// level_block_s; a stretch ends where a block's level leaves the stretch's first level by more
// than steady_tolerance_db. The loudest stretch at least minimum_steady_s long is chosen, less one
// block at each end. When there is none (programme material), the whole of `signal` is returned.
inline constexpr double level_block_s = 0.05;
inline constexpr double steady_tolerance_db = 1.0;
inline constexpr double minimum_steady_s = 0.25;
SampleSpan find_steady_part(std::span<const double> samples, SampleSpan signal,
                            double sample_rate_hz);

// At most `longest_s` seconds from the middle of `span`.
SampleSpan middle_part(SampleSpan span, double longest_s, double sample_rate_hz);

// The stretch of `samples` to measure: the steady part of the signal, at most longest_s from its
// middle. Throws CheckError when the channel is silent or holds less than shortest_s of signal.
SampleSpan choose_measurement_span(std::span<const double> samples, double sample_rate_hz,
                                   double longest_s, double shortest_s);
