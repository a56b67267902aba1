// The torque graph of the Calculated Results screen: both wheels over the whole record,
// with grey markers at the four stroke boundaries under the traces.
#pragma once

#include <array>

#include "analysis/series.h"
#include "common/colors.h"
#include "plot/plot_frame.h"
#include "record/record.h"

namespace velquor {

// Axis ends and titles as on the main window's torque graph; then the grey zero line, the
// markers at StrokeTime 1..4 over the full height (a boundary not found, at 0, lies on the
// left edge), and the two torque traces from step 2, all in pen width 1.
void DrawStrokeGraph(PlotFrame& frame, const MeasurementRecord& record, const DerivedSeries& series,
                     const KinematicsResults& kin, const StrokeResults& strokes,
                     const std::array<Rgb, 3>& GraphColor);

}  // namespace velquor
