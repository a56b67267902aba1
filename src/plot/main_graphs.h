// The seven result graphs of the main window: torque, speed, distance, turning angle,
// turning rate, the chair's path seen from above, and power.
#pragma once

#include <array>
#include <functional>
#include <string_view>

#include "analysis/series.h"
#include "common/colors.h"
#include "plot/plot_frame.h"
#include "record/record.h"

namespace velquor {

// Frame index of each graph on the main window.
enum MainGraph : int {
  kTorqueGraph = 0,
  kSpeedGraph = 1,
  kDistanceGraph = 2,
  kTurnGraph = 3,
  kTurnRateGraph = 4,
  kPathGraph = 5,
  kPowerGraph = 6,
};
inline constexpr int kMainGraphCount = 7;

inline constexpr std::string_view kGraphDrawingText = "Graph Drawing...";
inline constexpr std::string_view kDataSamplingText = "Data Sampling...";

// Shows a phase text in the main window's status label.
using StatusText = std::function<void(std::string_view)>;

// Draws graphs 0..6 in index order into frames[0..6] (a null frame is skipped). Each frame
// gets its axis ends and titles, its scale from those texts, a clear, its grey reference
// lines, then its traces in pen width 3, and pen width 1 again afterwards. The status is
// told kGraphDrawingText before the first graph and kDataSamplingText after the last.
// A record whose measuring time is 0 gets its texts and an empty plotting area.
// Below 20 ms the speed, turning-rate and power graphs draw the means over windows of about
// 20 ms (window_means.h), on axes from the means' extremes, and their titles say so.
void DrawMainGraphs(const std::array<PlotFrame*, kMainGraphCount>& frames,
                    const MeasurementRecord& record, const DerivedSeries& series,
                    const KinematicsResults& kin, const std::array<Rgb, 3>& GraphColor,
                    const StatusText& status = {});

}  // namespace velquor
