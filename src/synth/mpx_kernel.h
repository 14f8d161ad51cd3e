// One second of FM stereo multiplex signal for the tone modes (Mono, Left, Right, Antiphase).
//
// Channel 2 carries the composite baseband signal of the pilot-tone system (ITU-R BS.450):
// 90 % programme as sum signal (L+R)/2 plus the difference signal (L-R)/2 on a 38 kHz
// suppressed carrier, and a 19 kHz pilot at 9 %. Channel 1 carries the sum signal alone, at the
// same level as inside the composite.
#pragma once

#include <ostream>

#include "run/generator_settings.h"
#include "synth/kernel_frames.h"
#include "synth/quantiser.h"

namespace mpx {

// Fills all 192000 frames and prints "MPX kernel created". Leaves settings.time_accumulator at
// the clock after the last frame and `dither` after the last draw.
void build_mpx_kernel(GeneratorSettings& settings, KernelBuffer& kernel, RandomSource& dither,
                      std::ostream& out);

// Some of the frames, as a FrameBuilder.
FrameState build_mpx_frames(const GeneratorSettings& settings, KernelBuffer& kernel,
                            FrameRange range, FrameState start);

void announce_mpx_kernel(std::ostream& out);

}  // namespace mpx
