// velquor-cli reanalyse: what "View" does, for each file given: reload, compute the
// kinematics and strokes again, show the result tables, and optionally save the pair again.
#pragma once

#include <memory>
#include <ostream>

#include "app/cli/cli_options.h"
#include "app/cli/startup_files.h"
#include "common/workspace.h"

namespace velquor::cli {

// Results go to `out`, notices and failures (one line each) to `err`. Returns the exit
// status: 0 when every file was done, 1 when any failed.
int RunReanalyse(const ReanalyseOptions& options, const CliPaths& paths, std::ostream& out,
                 std::ostream& err);

// Reloads a saved pair as "View" does (notices to `err`) and computes its kinematics with
// the calibration read at start.
Result<std::unique_ptr<Workspace>> ReloadMeasurement(const std::string& file,
                                                     const StartupFiles& start, bool shift,
                                                     std::ostream& err);

// The stem a summary file was saved under: its name without directory and "_dat.csv"
// ("dat.csv" when there is no "_").
std::string StemOf(std::string_view dat_path);

}  // namespace velquor::cli
