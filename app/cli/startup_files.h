// What velquor-cli reads at start, as the desktop program does: the settings file and the
// calibration file of the working directory, with a notice for whatever is missing.
#pragma once

#include <optional>
#include <ostream>
#include <string>

#include "files/calibration_file.h"
#include "files/settings_file.h"
#include "record/calibration.h"

namespace velquor::cli {

struct CliPaths {
  std::string settings = kSettingsFileName;
  std::string calibration = kCalibrationFileName;
};

struct StartupFiles {
  Settings settings;
  Calibration calibration;
  // False when a settings file that could not be read stays in place: it is not written.
  bool settingsWritable = true;
};

// Every notice goes to `err` as one line "velquor-cli: notice: ...". With writes_settings,
// a settings file that is there but cannot be read is first kept aside under another name.
StartupFiles LoadStartupFiles(const CliPaths& paths, std::ostream& err,
                              bool writes_settings = false);

// Whether `measure` may start under the condition of the settings file, the options given
// (Timer Interval, Data Number) taking the place of its values; the problem names the
// settings file, line and field of the value Start refuses. A refused value that comes from
// an option is left to the command (a usage error); nothing then.
std::optional<Problem> MeasureConditionFault(const CliPaths& paths,
                                             const std::optional<std::string>& interval,
                                             const std::optional<std::string>& samples);

// One line on `err` for a problem: "velquor-cli: FILE, line L, field F: what".
void ReportProblem(std::ostream& err, const Problem& p);
void ReportNotice(std::ostream& err, const Problem& p);

}  // namespace velquor::cli
