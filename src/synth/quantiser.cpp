#include "synth/quantiser.h"

#include <algorithm>
#include <limits>

namespace mpx {
namespace {

constexpr std::uint32_t lcg_multiplier = 214013;
constexpr std::uint32_t lcg_increment = 2531011;

// Rounds like quantise_sample, but keeps the result inside the 24-bit range instead of letting
// an overdriven level wrap around to the opposite sign.
std::int32_t quantise_saturated(double value) {
  return quantise_sample(
      std::clamp(value, static_cast<double>(sample_min), static_cast<double>(sample_max)));
}

}  // namespace

std::int32_t random_draw(RandomSource& source) {
  source.state = source.state * lcg_multiplier + lcg_increment;
  return static_cast<std::int32_t>((source.state >> 16) & 0x7FFF);
}

RandomSource advanced(RandomSource source, std::uint64_t draws) {
  // Composes the affine step x -> a*x + c with itself, squaring per bit of `draws`.
  std::uint32_t step_mul = lcg_multiplier;
  std::uint32_t step_add = lcg_increment;
  while (draws != 0) {
    if (draws & 1) source.state = source.state * step_mul + step_add;
    step_add = step_add * step_mul + step_add;
    step_mul = step_mul * step_mul;
    draws >>= 1;
  }
  return source;
}

double tpdf_dither(RandomSource& source) {
  const std::int32_t r1 = random_draw(source);
  const std::int32_t r2 = random_draw(source);
  return ((r1 % 128) + (r2 % 128) - 128) * 0.0078125;
}

std::int32_t quantise_sample(double value) {
  const double rounded = value > 0 ? value + 0.5 : value - 0.5;
  // The conversion drops the fraction; out-of-range values get the x86 "integer indefinite".
  constexpr double limit = 2147483648.0;
  if (!(rounded > -limit - 1.0 && rounded < limit)) return std::numeric_limits<std::int32_t>::min();
  return static_cast<std::int32_t>(rounded);
}

void pack_s24le(std::int32_t n, std::uint8_t* destination) {
  const auto bits = static_cast<std::uint32_t>(n);  // two's complement: the low 24 bits
  destination[0] = static_cast<std::uint8_t>(bits & 0xFF);
  destination[1] = static_cast<std::uint8_t>((bits >> 8) & 0xFF);
  destination[2] = static_cast<std::uint8_t>((bits >> 16) & 0xFF);
}

void store_frame(KernelBuffer& kernel, RandomSource& dither, std::size_t i, double level1,
                 double level2) {
  const double x1 = full_scale * level1 + tpdf_dither(dither);
  double x2 = full_scale * level2 + tpdf_dither(dither);
  x2 = std::min(full_scale, x2);
  x2 = std::max(-full_scale, x2);
  std::uint8_t* frame = kernel.bytes.data() + i * frame_bytes;
  pack_s24le(quantise_saturated(x1), frame);
  pack_s24le(quantise_sample(x2), frame + bytes_per_sample);
}

}  // namespace mpx
