// One second of the calibration signal: the 38 kHz subcarrier alone on channel 1 (with the
// Settings file's phase and amplitude corrections) and the 19 kHz pilot alone on channel 2, both
// at half of full scale and from the same clock, so their zero crossings can be compared.
#pragma once

#include <ostream>

#include "run/generator_settings.h"
#include "synth/quantiser.h"

namespace mpx {

// Fills all 192000 frames and prints "Calibration kernel created".
void build_calibration_kernel(GeneratorSettings& settings, KernelBuffer& kernel,
                              RandomSource& dither, std::ostream& out);

}  // namespace mpx
