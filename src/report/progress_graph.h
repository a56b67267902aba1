// The graph of one figure over a participant's sessions: each session's mean ± SD of both
// wheels side by side, the first session's mean as a reference line and, where a minimal
// detectable change is set, the band around it; with the pure maths that places it all.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "catalogue/progress_figures.h"
#include "common/colors.h"
#include "plot/frame_geometry.h"
#include "plot/plot_frame.h"
#include "report/report_document.h"

namespace velquor {

// Across the page, with the session labels under the plotting area.
inline constexpr FrameGeometry kProgressFrame = {{0, 0, 9000, 3000}, {960, 240, 7800, 2220}};

// Ends of an axis on steps of 1, 2 or 5 times a power of ten, holding low..high in at most
// eight steps; a range of one value (to the last digits of a double) is widened around it.
struct AxisRange {
  double low = 0, high = 1, step = 1;
};
AxisRange RoundAxis(double low, double high);

// Sessions stand at X = 1..N in date order, the axis running from 0.5 to N + 0.5; the left
// wheel a little left of its session and the right wheel a little right.
double SessionX(std::size_t session, std::size_t wheel);
inline constexpr double kWheelOffset = 0.15;

// The least and largest Y the graph of figure `k` must show: every mean ± SD, and the
// reference ± MDC; nothing when no session has a mean.
std::optional<std::pair<double, double>> ProgressExtent(const ProgressFigures& p, std::size_t k,
                                                        std::optional<double> mdc);

// A radius in units of X that is `pixels` design pixels wide on a plotting area of
// `area_pixels` showing `sessions` sessions.
double MarkRadius(std::size_t sessions, double area_pixels, double pixels);

// Draws figure `k` with the wheels in the ch0 and ch1 colours: the MDC band in a pale tint
// with its edges, the reference line of each wheel, the means joined by a thin line, each mean
// ± SD as a bar with caps and a mark at the mean, filled when the change is beyond the MDC and
// open otherwise. The session labels (below) stand under the plotting area in place of the X
// axis ends and title, which stay empty.
void DrawProgressGraph(PlotFrame& frame, const ProgressFigures& p, std::size_t k,
                       std::optional<double> mdc, const std::string& y_title,
                       const std::array<Rgb, 3>& GraphColor);

// The label of each session at its X.
std::vector<AxisLabel> SessionLabels(const ProgressFigures& p);

}  // namespace velquor
