// Reading a trial's per-sample file back: the raw volts and encoder counts of every sample
// into a trial's series under the calibration in force, and the markers placed in it.
#pragma once

#include <cstdint>
#include <istream>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/trial_series.h"
#include "common/result.h"
#include "record/calibration.h"

namespace velquor {

// A marker as the per-sample file holds it: its number at the sample it was placed at.
struct TrialCsvMarker {
  int number = 0;
  std::int64_t sample = 0;
};

struct LoadedTrial {
  std::string path;  // as given
  std::unique_ptr<TrialSeries> series;
  std::vector<TrialCsvMarker> markers;  // in sample order
  // What the operator should know although the trial was read: a last row cut short by a
  // crash, left out.
  std::vector<Problem> notices;
};

// Whether the name is that of a trial's per-sample file, "..._trial.csv".
bool IsTrialCsvPath(std::string_view path);

// The stem of a trial's files, "RUN0000012" for ".../RUN0000012_trial.csv"; the name as it is
// for any other path.
std::string TrialStem(std::string_view path);

// Reads the text: the header line, then one row of 15 fields per sample numbered from 1,
// t_s = sample x interval. Only the volts, the encoder counts and the marker are read; torque,
// angle, speed and power are computed again with `cal` and `shift`. The interval is that of
// sample 1's time. Every problem names the file, line and field and what was expected there.
Result<LoadedTrial> ReadTrialCsv(std::istream& in, const std::string& path, const Calibration& cal,
                                 bool shift);

// The file at `path` (stored form, "\" separators); only a regular file is read.
Result<LoadedTrial> LoadTrialCsv(const std::string& path, const Calibration& cal, bool shift);

}  // namespace velquor
