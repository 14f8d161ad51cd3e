// From real levels (1.0 = full scale) to packed 24-bit frames: scaling, triangular dither,
// limiting of the multiplex channel, rounding and little-endian packing.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <vector>

#include "constants.h"
#include "synth/block_memory.h"

namespace mpx {

// One second of packed frames: channel 1 then channel 2, 3 bytes each, least significant first.
// Starts zeroed, which is also the silence before the tone.
struct KernelBuffer {
  using Bytes = std::vector<std::uint8_t, BlockAllocator<std::uint8_t>>;
  Bytes bytes = Bytes(block_bytes);
};

// The dither's pseudo-random source: a 32-bit linear congruence that starts at 1 in every run,
// so the same answers always give the same file.
struct RandomSource {
  std::uint32_t state = 1;
};

// Next value 0 to 32767: state = state * 214013 + 2531011, bits 16 to 30.
inline std::int32_t random_draw(RandomSource& source);

// The source as it stands after `draws` further draws, without making them (for splitting a
// kernel into independent pieces).
RandomSource advanced(RandomSource source, std::uint64_t draws);

// Triangular dither in 24-bit steps from two draws: a multiple of 1/128 in -1.0 .. +0.984375.
inline double tpdf_dither(RandomSource& source);

// Rounds half away from zero to 32 bits. A value outside the 32-bit range, or not a number,
// gives -2147483648, as the machine conversion does.
inline std::int32_t quantise_sample(double value);

// Writes the low 24 bits of n, least significant byte first.
inline void pack_s24le(std::int32_t n, std::uint8_t* destination);

// Completes frame i from the two levels, taking four draws. Channel 2, the multiplex signal, is
// limited to +-full_scale after dithering; channel 1 is only kept inside the 24-bit range.
inline void store_frame(KernelBuffer& kernel, RandomSource& dither, std::size_t i, double level1,
                        double level2);

// The definitions are here, inline, because the kernels run them for every frame.

namespace detail {

inline constexpr std::uint32_t lcg_multiplier = 214013;
inline constexpr std::uint32_t lcg_increment = 2531011;

// Rounds like quantise_sample, but keeps the result inside the 24-bit range instead of letting
// an overdriven level wrap around to the opposite sign.
inline std::int32_t quantise_saturated(double value) {
  return quantise_sample(
      std::clamp(value, static_cast<double>(sample_min), static_cast<double>(sample_max)));
}

}  // namespace detail

inline std::int32_t random_draw(RandomSource& source) {
  source.state = source.state * detail::lcg_multiplier + detail::lcg_increment;
  return static_cast<std::int32_t>((source.state >> 16) & 0x7FFF);
}

inline double tpdf_dither(RandomSource& source) {
  const std::int32_t r1 = random_draw(source);
  const std::int32_t r2 = random_draw(source);
  return ((r1 % 128) + (r2 % 128) - 128) * 0.0078125;
}

inline std::int32_t quantise_sample(double value) {
  // value + 0.5 above zero, value - 0.5 otherwise, without a branch the dither would make
  // unpredictable (for zero either way truncates to 0, and not a number stays not a number).
  const double rounded = value + std::copysign(0.5, value);
  // The conversion drops the fraction; out-of-range values get the x86 "integer indefinite".
  constexpr double limit = 2147483648.0;
  if (!(rounded > -limit - 1.0 && rounded < limit)) return std::numeric_limits<std::int32_t>::min();
  return static_cast<std::int32_t>(rounded);
}

inline void pack_s24le(std::int32_t n, std::uint8_t* destination) {
  const auto bits = static_cast<std::uint32_t>(n);  // two's complement: the low 24 bits
  destination[0] = static_cast<std::uint8_t>(bits & 0xFF);
  destination[1] = static_cast<std::uint8_t>((bits >> 8) & 0xFF);
  destination[2] = static_cast<std::uint8_t>((bits >> 16) & 0xFF);
}

inline void store_frame(KernelBuffer& kernel, RandomSource& dither, std::size_t i, double level1,
                        double level2) {
  const double x1 = full_scale * level1 + tpdf_dither(dither);
  double x2 = full_scale * level2 + tpdf_dither(dither);
  x2 = std::min(full_scale, x2);
  x2 = std::max(-full_scale, x2);
  std::uint8_t* frame = kernel.bytes.data() + i * frame_bytes;
  pack_s24le(detail::quantise_saturated(x1), frame);
  pack_s24le(quantise_sample(x2), frame + bytes_per_sample);
}

}  // namespace mpx
