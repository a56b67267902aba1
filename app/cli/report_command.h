// velquor-cli report: the saved measurements given, reloaded as "View" does, written as one
// PDF report; several make a session report that opens with their comparison.
#pragma once

#include <ostream>

#include "app/cli/cli_options.h"
#include "app/cli/startup_files.h"

namespace velquor::cli {

// The line naming the report on `out`, problems (one line each) on `err`. Returns the exit
// status: 0 when the report was written, 1 when a file failed (then nothing is written).
int RunReport(const ReportOptions& options, const CliPaths& paths, std::ostream& out,
              std::ostream& err);

}  // namespace velquor::cli
