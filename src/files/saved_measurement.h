// A saved measurement brought back as "View" does: the pair read into a workspace of its own
// and its kinematics computed with the calibration given.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "calibration/calibration.h"
#include "common/result.h"
#include "common/workspace.h"

namespace velquor {

// `dat_path` in stored form. What the operator should know although the pair was read goes
// to `notices`; a problem names the file.
Result<std::unique_ptr<Workspace>> ReloadSavedMeasurement(const std::string& dat_path,
                                                          const Calibration& cal, bool shift,
                                                          std::vector<Problem>& notices);

}  // namespace velquor
