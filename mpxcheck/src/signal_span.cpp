#include "signal_span.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "check_error.h"

namespace {

std::size_t samples_in(double seconds, double sample_rate_hz) {
  return std::max<std::size_t>(1, static_cast<std::size_t>(std::llround(seconds * sample_rate_hz)));
}

bool block_is_silent(std::span<const double> block) {
  return std::all_of(block.begin(), block.end(),
                     [](double sample) { return std::abs(sample) < silence_threshold; });
}

double level_db(std::span<const double> block) {
  double energy = 0;
  for (const double sample : block) energy += sample * sample;
  return 10.0 * std::log10(energy / static_cast<double>(block.size()) + 1e-30);
}

}  // namespace

std::optional<SampleSpan> find_signal(std::span<const double> samples, double sample_rate_hz) {
  const std::size_t block = samples_in(silence_block_s, sample_rate_hz);
  const std::size_t blocks = (samples.size() + block - 1) / block;
  const auto block_span = [&](std::size_t index) {
    const std::size_t begin = index * block;
    return samples.subspan(begin, std::min(block, samples.size() - begin));
  };
  std::size_t first = 0;
  while (first < blocks && block_is_silent(block_span(first))) ++first;
  if (first == blocks) return std::nullopt;
  std::size_t last = blocks - 1;
  while (block_is_silent(block_span(last))) --last;
  return SampleSpan{first * block, std::min(samples.size(), (last + 1) * block)};
}

SampleSpan find_steady_part(std::span<const double> samples, SampleSpan signal,
                            double sample_rate_hz) {
  const std::size_t block = samples_in(level_block_s, sample_rate_hz);
  const std::size_t blocks = signal.size() / block;
  std::vector<double> levels(blocks);
  for (std::size_t i = 0; i < blocks; ++i) {
    levels[i] = level_db(samples.subspan(signal.begin + i * block, block));
  }
  const std::size_t shortest = std::max<std::size_t>(
      3, static_cast<std::size_t>(std::ceil(minimum_steady_s / level_block_s)));

  std::optional<SampleSpan> loudest;
  double loudest_level = -1e300;
  std::size_t start = 0;
  while (start < blocks) {
    std::size_t stop = start + 1;
    while (stop < blocks && std::abs(levels[stop] - levels[start]) <= steady_tolerance_db) ++stop;
    if (stop - start >= shortest) {
      double mean = 0;
      for (std::size_t i = start; i < stop; ++i) mean += levels[i];
      mean /= static_cast<double>(stop - start);
      if (mean > loudest_level) {
        loudest_level = mean;
        loudest = SampleSpan{signal.begin + (start + 1) * block, signal.begin + (stop - 1) * block};
      }
    }
    start = stop;
  }
  return loudest ? *loudest : signal;
}

SampleSpan middle_part(SampleSpan span, double longest_s, double sample_rate_hz) {
  const std::size_t longest = samples_in(longest_s, sample_rate_hz);
  if (span.size() <= longest) return span;
  const std::size_t begin = span.begin + (span.size() - longest) / 2;
  return {begin, begin + longest};
}

SampleSpan choose_measurement_span(std::span<const double> samples, double sample_rate_hz,
                                   double longest_s, double shortest_s) {
  const std::optional<SampleSpan> signal = find_signal(samples, sample_rate_hz);
  if (!signal) throw CheckError("the channel holds only silence");
  const double seconds = static_cast<double>(signal->size()) / sample_rate_hz;
  if (seconds < shortest_s) {
    char text[120];
    std::snprintf(text, sizeof text, "only %.3f s of signal, at least %.3f s needed", seconds,
                  shortest_s);
    throw CheckError(text);
  }
  const SampleSpan steady = find_steady_part(samples, *signal, sample_rate_hz);
  return middle_part(steady, longest_s, sample_rate_hz);
}
