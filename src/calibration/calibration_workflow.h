// The calibration workflow: fit both channels, and write the calibration file and its dated
// copy beside the automatic saves, each atomically.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "calibration/fit_review.h"
#include "common/result.h"
#include "files/calibration_file.h"
#include "files/save_stamp.h"
#include "record/calibration.h"

namespace velquor {

// txtFileDir, "\", MMDDhhmm, ".clb"; the bare name (working directory) when it is empty.
std::string DatedCopyPath(std::string_view txt_file_dir, const SaveStamp& stamp);

struct CalibrationSave {
  std::string copyPath;
  Status working;  // the working file
  Status copy;     // the dated copy; a failure here leaves the working file in place
  std::vector<Problem> notices;
};

// Writes the working file and then the dated copy, each atomically, with the same bytes.
CalibrationSave SaveCalibration(const Calibration& cal, std::string_view txt_file_dir,
                                const SaveStamp& stamp,
                                const std::string& working_path = kCalibrationFileName);

// A fit of both channels as proposed by "Calcuration and Save", with its checks.
struct FitProposal {
  CalibrationFit fit;
  FitReview review;
};

// Fits both channels of the point texts in `cal` and checks the fit against the
// calibration in force; nothing changes yet. A problem says why the points cannot be fitted.
Result<FitProposal> ProposeFit(const Calibration& cal);

// The fitted coefficients and points take effect in `cal` and are written (working file,
// then dated copy); `cal` then names the file written and the stamp's date.
CalibrationSave AdoptFit(const CalibrationFit& fit, Calibration& cal, std::string_view txt_file_dir,
                         const SaveStamp& stamp,
                         const std::string& working_path = kCalibrationFileName);

}  // namespace velquor
