// The calibration graph: the recorded points of both strain gauges and their fitted lines
// on fixed axes of -2..2 V and -35..35 Nm, and the single points the "Set" buttons mark.
#pragma once

#include <array>

#include "common/colors.h"
#include "plot/plot_frame.h"
#include "record/calibration.h"

namespace velquor {

// Radius of a calibration point, in volts.
inline constexpr float kCalibPointRadius = 0.05f;

// Fills the legend with GraphColor 0 and 1, writes the fixed axis ends and the titles,
// scales and clears, draws the grey axis cross, the points 1..CalCount of channel 0 then
// channel 1 as filled circles, and last each channel's line Ka1 x Volt + Ka0 across the
// full width, so the lines lie on top of the points.
void DrawCalibGraph(PlotFrame& frame, const Calibration& cal, const std::array<Rgb, 3>& GraphColor);

// Marks one point without redrawing: a filled circle in the channel's colour.
void MarkCalibPoint(Canvas& canvas, double volt, double torque, Rgb colour);
// Paints a point over in white (fill and outline), covering whatever lay under it until
// the next full drawing.
void EraseCalibPoint(Canvas& canvas, double volt, double torque);

}  // namespace velquor
