// The calibration file "Velquor.clb": the point tables of both channels and the fitted
// coefficients, read at start-up and composed as the text a fit writes.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/result.h"
#include "files/save_stamp.h"
#include "record/calibration.h"

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
// A calibration read whole names its file (made absolute) and the time it was last written.
CalibrationLoad LoadCalibration(const std::string& path = kCalibrationFileName);
// Names the file at `path` (stored form) as where the calibration came from, with the time
// it was last written; the date stays empty when the file cannot be examined.
void NoteSource(const std::string& path, Calibration& cal);

struct CalibrationFileText {
  std::string text;              // UTF-8, 33 lines, CR LF
  std::vector<Problem> notices;  // point texts that could not be stored exactly
};

// Point texts as they stand (quoted when they would not read back whole); coefficients in
// plain form with the digits of their precision (single after a fit, double after a load).
CalibrationFileText CalibrationText(const Calibration& cal);

}  // namespace velquor
