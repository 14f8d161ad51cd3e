#include "synth/quantiser.h"

namespace mpx {

RandomSource advanced(RandomSource source, std::uint64_t draws) {
  // Composes the affine step x -> a*x + c with itself, squaring per bit of `draws`.
  std::uint32_t step_mul = detail::lcg_multiplier;
  std::uint32_t step_add = detail::lcg_increment;
  while (draws != 0) {
    if (draws & 1) source.state = source.state * step_mul + step_add;
    step_add = step_add * step_mul + step_add;
    step_mul = step_mul * step_mul;
    draws >>= 1;
  }
  return source;
}

}  // namespace mpx
