#pragma once

#include "analyse_file.h"
#include "svg_plot.h"

// The spectrum picture of an analysed file: the composite with its pilot, subcarrier and the
// tone's sidebands marked, or both channels of a calibration file. Keeps pointers into `analysis`.
SpectrumPlot plot_for(const Analysis& analysis);
