// The push-by-push part of a measurement's report: for each wheel the pushes with their
// figures in two tables (timing; torque and power) with the summary rows of the steady
// pushes below, and the mean push curve of both wheels with its SD band.
#pragma once

#include <array>
#include <string>

#include "analysis/push_analysis.h"
#include "common/colors.h"
#include "report/report_document.h"

namespace velquor {

// The head of a figure's column: a short name and its unit, "Push time (s)".
std::string FigureHead(PushFigure f);

// The counts line of a wheel: "ch0 (L): 38 pushes, 2 partial, 1 rejected, 37 steady,
// 52.300 pushes/min".
std::string PushCountsText(const WheelPushes& w);

void AppendPushSection(const std::string& stem, const PushAnalysis& a,
                       const std::array<Rgb, 3>& GraphColor, ReportDocument& doc);

}  // namespace velquor
