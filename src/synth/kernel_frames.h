// The pieces a kernel is built from: a range of frames, and the state the synthesis carries from
// one frame to the next (the running clock and the dither source). Frame i is computed at the
// clock reached after i additions of the sample period and takes dither draws 4i+1 to 4i+4, so a
// range can be built anywhere once its starting state is known.
#pragma once

#include <cstddef>

#include "run/generator_settings.h"
#include "synth/quantiser.h"

namespace mpx {

struct FrameRange {
  std::size_t first = 0;
  std::size_t last = 0;  // one past the final frame
};

struct FrameState {
  double t = 0.0;  // seconds, as a running sum of time_step
  RandomSource dither;
};

// Fills frames [range.first, range.last) starting from `start`, the state at range.first;
// returns the state at range.last.
using FrameBuilder = FrameState (*)(const GeneratorSettings& settings, KernelBuffer& kernel,
                                    FrameRange range, FrameState start);

}  // namespace mpx
