// From real levels (1.0 = full scale) to packed 24-bit frames: scaling, triangular dither,
// limiting of the multiplex channel, rounding and little-endian packing.
#pragma once

#include <cstddef>
#include <cstdint>
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
std::int32_t random_draw(RandomSource& source);

// The source as it stands after `draws` further draws, without making them (for splitting a
// kernel into independent pieces).
RandomSource advanced(RandomSource source, std::uint64_t draws);

// Triangular dither in 24-bit steps from two draws: a multiple of 1/128 in -1.0 .. +0.984375.
double tpdf_dither(RandomSource& source);

// Rounds half away from zero to 32 bits. A value outside the 32-bit range, or not a number,
// gives -2147483648, as the machine conversion does.
std::int32_t quantise_sample(double value);

// Writes the low 24 bits of n, least significant byte first.
void pack_s24le(std::int32_t n, std::uint8_t* destination);

// Completes frame i from the two levels, taking four draws. Channel 2, the multiplex signal, is
// limited to +-full_scale after dithering; channel 1 is only kept inside the 24-bit range.
void store_frame(KernelBuffer& kernel, RandomSource& dither, std::size_t i, double level1,
                 double level2);

}  // namespace mpx
