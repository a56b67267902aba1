// Why a result of a short record is empty, said where the empty result is shown: no steady
// push for the push summary, too few strokes for the Calculated Results.
#pragma once

#include <optional>
#include <string>

#include "analysis/push_analysis.h"
#include "analysis/push_parameters.h"
#include "analysis/series.h"
#include "record/record.h"

namespace velquor {

// "no steady push: the record holds 1 push, and the first is left out of the summary";
// nothing when the wheel has a steady push.
std::optional<std::string> NoSteadyPushReason(const PushSummary& s, const PushParameters& p);

// "1 of 3 strokes: the stroke window starts at 1 s and the record ends at 2 s"; nothing when
// all three strokes were found or the record cannot be timed.
std::optional<std::string> FewStrokesReason(const MeasurementRecord& rec, const StrokeConditions& c,
                                            const StrokeResults& r);

}  // namespace velquor
