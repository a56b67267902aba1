// velquor-cli progress: one participant's sessions from the study catalogue of a directory,
// written as a PDF progress report against the minimal detectable changes of Velquor.ini.
#pragma once

#include <ostream>

#include "app/cli/cli_options.h"
#include "app/cli/startup_files.h"

namespace velquor::cli {

// Where the report went and what it covers on `out`, notices and problems on `err`. Returns
// the exit status: 0 written, 1 when the catalogue, the participant or the PDF failed (then
// nothing is written and no file is replaced).
int RunProgress(const ProgressOptions& options, const CliPaths& paths, std::ostream& out,
                std::ostream& err);

}  // namespace velquor::cli
