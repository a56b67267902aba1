// The calibration file "Velquor.clb": the point tables of both channels and the fitted
// coefficients, read at start-up and written, with a dated copy, after every fit.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "calibration/calibration.h"
#include "common/result.h"
#include "files/save_stamp.h"

namespace velquor {

inline constexpr const char* kCalibrationFileName = "Velquor.clb";

struct CalibrationLoad {
  // loaded is false, and all four coefficients 0, unless all four were read and usable.
  Calibration values;
  std::vector<Problem> notices;  // missing or short file
  // The file is there but could not be read as a whole (not Shift_JIS, its items out of step
  // with its lines, a coefficient that is no finite number): keep it (KeepUnreadable) before
  // a fit writes a new one.
  std::optional<Problem> unreadable;
};

// Reads the 33 lines by position: point texts as they stand, coefficients by the
// leading-number rule. What cannot be read keeps its design-time value, with a notice; items
// out of step (a field too many or too few, a title or label where another item belongs)
// leave the point rows from the first untrusted line at the design-time table. No torque is
// ever computed from a calibration that was not read whole.
CalibrationLoad ReadCalibrationText(std::string_view text, const std::string& file);
// The same from disk; a missing file gives the design-time table and zero coefficients.
CalibrationLoad LoadCalibration(const std::string& path = kCalibrationFileName);

struct CalibrationFileText {
  std::string text;              // UTF-8, 33 lines, CR LF
  std::vector<Problem> notices;  // point texts that could not be stored exactly
};

// Point texts as they stand (quoted when they would not read back whole); coefficients in
// plain form with the digits of their precision (single after a fit, double after a load).
CalibrationFileText CalibrationText(const Calibration& cal);

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
