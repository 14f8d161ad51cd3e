// One second of the calibration signal: the 38 kHz subcarrier alone on channel 1 (with the
// Settings file's phase and amplitude corrections) and the 19 kHz pilot alone on channel 2, both
// at half of full scale and from the same clock, so their zero crossings can be compared.
#pragma once

#include <ostream>

#include "run/generator_settings.h"
#include "synth/kernel_frames.h"
#include "synth/quantiser.h"

namespace mpx {

// Fills all 192000 frames and prints "Calibration kernel created". Leaves
// settings.time_accumulator at the clock after the last frame and `dither` after the last draw.
void build_calibration_kernel(GeneratorSettings& settings, KernelBuffer& kernel,
                              RandomSource& dither, std::ostream& out);

// Some of the frames, as a FrameBuilder.
FrameState build_calibration_frames(const GeneratorSettings& settings, KernelBuffer& kernel,
                                    FrameRange range, FrameState start);

void announce_calibration_kernel(std::ostream& out);

}  // namespace mpx
