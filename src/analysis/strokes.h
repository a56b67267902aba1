// Stroke detection and statistics: up to four push onsets in the judged wheel torque after
// a start time, and for the (up to three) cycles between them their duration, distance and
// the extremes, means and fluctuation ratios of speed, torque, power, heading and side drift.
#pragma once

#include <string_view>

#include "analysis/series.h"
#include "common/result.h"
#include "record/record.h"

namespace velquor {

// The conditions as typed: "From" (s) and "Less than" (Nm), each by the leading-number rule.
StrokeConditions ReadStrokeConditions(std::string_view start_text, std::string_view limit_text,
                                      JudgeChannel channel);

// Resets `out` and fills it from samples 2..DataNum of the series CalcKinematics made from
// the same record (its TqMax chooses the Auto channel, its WheelRadius gives StAngle).
// When DataNum or SampInterval cannot be analysed nothing is touched.
Status CalcStrokes(const StrokeConditions& cond, const MeasurementRecord& rec,
                   const DerivedSeries& s, const KinematicsResults& kin, StrokeResults& out);

}  // namespace velquor
