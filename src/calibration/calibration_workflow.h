// The calibration workflow: fit both channels, and write the calibration file and its dated
// copy beside the automatic saves, each atomically.
#pragma once

#include <string>
#include <string_view>
#include <vector>

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

struct FitAndSave {
  Status fit;            // why the points could not be fitted; then nothing else happened
  CalibrationSave save;  // when the fit succeeded: how the two files were written
};

// "Calcuration and Save": fits both channels; only when both fit do the new coefficients
// and points take effect and are written. A failed fit keeps the previous calibration.
FitAndSave FitAndSaveCalibration(Calibration& cal, std::string_view txt_file_dir,
                                 const SaveStamp& stamp,
                                 const std::string& working_path = kCalibrationFileName);

}  // namespace velquor
