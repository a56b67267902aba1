// The summary of the steady pushes of one wheel (mean, SD and CV of every figure, push
// frequency) and their mean push curve, from the pushes the detector found.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "analysis/push_analysis.h"
#include "analysis/push_series.h"

namespace velquor {

// The steady pushes are those numbered k with skip_first < k <= P - skip_last whose on_s lies
// within from_s .. to_s where these are set. Fills every
// field of the summary except the run counts (pushes, partial, rejected).
PushSummary SummarisePushes(const std::vector<Push>& pushes, const PushParameters& p);

// Whether pushes[k] is one of the steady pushes the summary takes.
bool IsSteadyPush(const std::vector<Push>& pushes, std::size_t k, const PushParameters& p);

// Mean, SD (n - 1) and CV of the values in their order, each empty where there are too few.
FigureSummary SummariseValues(const std::vector<double>& v);

// The torque x = Torque(1..n) of every steady push at 0..100 % of its push time, mean and SD
// at each point; none without a steady push.
std::optional<PushCurve> MeanPushCurve(const std::vector<Push>& pushes, const PushParameters& p,
                                       const PushSeries& s, std::int64_t n, double dt);

}  // namespace velquor
