// velquor-cli reanalyse: what "View" does, for each file given: reload, compute the
// kinematics and strokes again, show the result tables, and optionally save the pair again.
#pragma once

#include <memory>
#include <ostream>

#include "app/cli/cli_options.h"
#include "app/cli/saved_analysis.h"
#include "app/cli/startup_files.h"

namespace velquor::cli {

// Results go to `out`, notices and failures (one line each) to `err`. Returns the exit
// status: 0 when every file was done, 1 when any failed.
int RunReanalyse(const ReanalyseOptions& options, const CliPaths& paths, std::ostream& out,
                 std::ostream& err);

}  // namespace velquor::cli
