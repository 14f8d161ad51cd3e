#pragma once

#include <complex>
#include <span>
#include <vector>

// A stretch of samples multiplied by a Hann window, ready for evaluating its Fourier transform at
// any frequency (not only at FFT bins). Phases are counted from the middle of the stretch, which
// keeps them insensitive to a small error in the frequency they are evaluated at.
struct WindowedSpan {
  std::vector<double> weighted;  // sample times window
  double sample_rate_hz = 0;
  double middle_index = 0;
  double window_sum = 0;
};

WindowedSpan make_windowed_span(std::span<const double> samples, double sample_rate_hz);

// Complex amplitude of the component at `frequency_hz`: a stretch holding a·cos(2π f t + θ), t in
// seconds from its middle, gives a·e^(jθ). A sine a·sin(2π f t + θ) thus gives a·e^(j(θ - π/2)).
std::complex<double> phasor_at(const WindowedSpan& span, double frequency_hz);

// One spectral line that moves with a tone of frequency f: it sits at offset_hz + sign·f. The tone
// itself is {0, 1}; the lower and upper sidebands of a 38 kHz subcarrier are {38000, -1} and
// {38000, 1}.
struct LineOffset {
  double offset_hz = 0;
  double sign = 1;
};

// The frequency near `estimate_hz` that maximises the summed power of `lines`: the least-squares
// frequency of a tone (and of the sidebands it makes). The estimate must lie within about 4 Hz;
// it is refined on ever longer stretches from the middle of `samples`, each bracketing the peak
// inside its window's main lobe, to a small fraction of a millihertz.
double refine_frequency(std::span<const double> samples, double sample_rate_hz, double estimate_hz,
                        std::span<const LineOffset> lines);
