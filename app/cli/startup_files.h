// What velquor-cli reads at start, as the desktop program does: the settings file and the
// calibration file of the working directory, with a notice for whatever is missing.
#pragma once

#include <ostream>
#include <string>

#include "calibration/calibration.h"
#include "files/calibration_file.h"
#include "files/settings_file.h"

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

// One line on `err` for a problem: "velquor-cli: FILE, line L, field F: what".
void ReportProblem(std::ostream& err, const Problem& p);
void ReportNotice(std::ostream& err, const Problem& p);

}  // namespace velquor::cli
