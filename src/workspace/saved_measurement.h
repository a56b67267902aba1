// A saved measurement brought back as "View" does: the pair read into a workspace of its own
// and analysed again with the calibration and the steps given.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "analysis/analyse_record.h"
#include "common/result.h"
#include "record/calibration.h"
#include "workspace/workspace.h"

namespace velquor {

struct ReloadedMeasurement {
  std::unique_ptr<Workspace> ws;
  std::optional<PushAnalysis> pushes;  // when the choice asked for them
};

// `dat_path` in stored form. What the operator should know although the pair was read goes
// to `notices`; a problem, from the reading or any step of the analysis, names the file.
Result<ReloadedMeasurement> ReloadSavedMeasurement(const std::string& dat_path,
                                                   const Calibration& cal,
                                                   const AnalysisChoice& choice,
                                                   std::vector<Problem>& notices);

}  // namespace velquor
