// The graphs of the push analysis: the mean push curve of both wheels with its SD band over
// 0..100 % of push time, and the torque over time with every run found marked under it.
#pragma once

#include <array>
#include <vector>

#include "analysis/push_analysis.h"
#include "analysis/series.h"
#include "analysis/trial_series.h"
#include "common/colors.h"
#include "plot/frame_geometry.h"
#include "plot/plot_frame.h"
#include "record/record.h"

namespace velquor {

// The two frames of the Pushes screen, and the push-curve picture of the headless tool.
inline constexpr FrameGeometry kPushCurveFrame = {{120, 1560, 5400, 3300}, {960, 240, 4200, 2520}};
inline constexpr FrameGeometry kPushTimeFrame = {{5640, 1560, 9000, 3300}, {960, 240, 7800, 2520}};

// A colour mixed with white: part 0 keeps it, part 1 gives white.
Rgb Tint(Rgb colour, double part);

// X 0..100 (% of push time), Y in tens around the curves and their bands. For each wheel
// with a curve: its SD band as close vertical strokes in a light tint of the wheel colour,
// then the grey zero line, then each mean curve in pen width 2. No curve draws nothing.
void DrawPushCurveGraph(PlotFrame& frame, const PushAnalysis& a,
                        const std::array<Rgb, 3>& GraphColor);

// The torque of both wheels over the record as on the stroke graph, the threshold as a grey
// line, and per wheel a track of bars along the bottom: each push from onset to end thick in
// the wheel colour, partial runs thin in the wheel colour, rejected runs thick in grey; a
// filled circle at each onset and an open one at each end, on the threshold.
void DrawPushTimeGraph(PlotFrame& frame, const MeasurementRecord& record,
                       const DerivedSeries& series, const KinematicsResults& kin,
                       const PushAnalysis& a, const std::array<Rgb, 3>& GraphColor);

// A trial's torque of both wheels over its whole length, each of at most 1800 columns drawn
// from the least to the largest torque of its samples, the threshold and the runs as on the
// graph above, and each marker as a grey vertical line at its time.
void DrawTrialTorqueGraph(PlotFrame& frame, const TrialSeries& s, const PushAnalysis& a,
                          const std::vector<double>& marker_times,
                          const std::array<Rgb, 3>& GraphColor);

}  // namespace velquor
