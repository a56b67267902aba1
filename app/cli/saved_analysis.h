// A saved measurement read back and analysed as "View" does, for the commands that work on
// files: the pair reloaded, the kinematics, strokes and pushes computed with the calibration in
// force.
#pragma once

#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "analysis/series.h"
#include "app/cli/cli_options.h"
#include "app/cli/startup_files.h"
#include "common/result.h"
#include "files/summary_facts.h"
#include "workspace/saved_measurement.h"
#include "workspace/workspace.h"

namespace velquor::cli {

// The conditions the options and the settings file give together.
StrokeConditions ConditionsOf(const StrokeOptions& o, const Settings& settings);

// Reloads a saved pair as "View" does (notices to `err`) and analyses it with the calibration
// read at start and the steps chosen. A problem names the file.
Result<ReloadedMeasurement> ReloadMeasurement(const std::string& file, const StartupFiles& start,
                                              const AnalysisChoice& choice, std::ostream& err);

// ReloadMeasurement with the strokes under the options' conditions, and the pushes under the
// settings' parameters when `pushes`.
Result<ReloadedMeasurement> AnalyseSavedFile(const std::string& file, const StrokeOptions& o,
                                             const StartupFiles& start, bool pushes,
                                             std::ostream& err);

// Native paths of every file the command reads: each summary file, its per-sample file, the
// settings and the calibration file. An output never writes over one of them.
std::vector<std::string> InputFiles(const std::vector<std::string>& files, const CliPaths& paths);

// The stem a summary file was saved under (see SummaryStem).
inline std::string StemOf(std::string_view dat_path) {
  return SummaryStem(dat_path);
}

}  // namespace velquor::cli
