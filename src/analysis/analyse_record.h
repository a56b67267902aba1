// The analysis of one measurement in the one order every caller runs it: the kinematics,
// then the strokes, then the pushes, each step reading what the step before it wrote.
#pragma once

#include <optional>

#include "analysis/push_analysis.h"
#include "analysis/series.h"
#include "common/result.h"
#include "record/calibration.h"
#include "record/record.h"

namespace velquor {

enum class AnalysisStep { kKinematics, kStrokes, kPushes };

// The steps after the kinematics that are wanted, with their conditions; one left out is
// skipped.
struct AnalysisChoice {
  bool shift = false;
  std::optional<StrokeConditions> strokes;
  std::optional<PushParameters> pushes;
};

// Where the steps write.
struct RecordAnalysis {
  DerivedSeries& series;
  KinematicsResults& kin;
  StrokeResults& strokes;
  std::optional<PushAnalysis> pushes = std::nullopt;  // set when the pushes were found
};

// The step that failed and why.
struct AnalysisStop {
  AnalysisStep step;
  Problem problem;
};

// Runs the chosen steps on `rec` in order; the first that fails stops the chain, and what
// the steps before it wrote stays. Nothing when every chosen step ran.
std::optional<AnalysisStop> AnalyseRecord(const MeasurementRecord& rec, const Calibration& cal,
                                          const AnalysisChoice& choice, RecordAnalysis& out);

}  // namespace velquor
