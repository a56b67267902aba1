// The torque graph while a cycle is being sampled: both wheels' torques from the first
// sample to the last one taken, on the time axis of the whole cycle.
#pragma once

#include <array>
#include <vector>

#include "common/colors.h"
#include "common/grid.h"
#include "plot/plot_frame.h"

namespace velquor {

// Draws samples 1..count (at most 2000) of `torque` (Nm, channel 0..1) into the torque
// frame: time from 0 to meas_time seconds, torque ends by the final graph's rule from the
// lowest and highest torque so far (zero included), traces in the channel colours.
// Markers placed in the cycle stand as grey upright lines at their samples (`markers`,
// 1..count; others are left out).
void DrawLiveTorque(PlotFrame& frame, const Grid<float, 2, kSampleSlots>& torque, int count,
                    double samp_interval, double meas_time, const std::array<Rgb, 3>& colour,
                    const std::vector<int>& markers = {});

}  // namespace velquor
