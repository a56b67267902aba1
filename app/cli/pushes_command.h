// velquor-cli pushes: for each file given, reload it as "View" does, find every push of
// each wheel, and print the tables or the JSON, or write the tidy CSV.
#pragma once

#include <ostream>

#include "app/cli/cli_options.h"
#include "app/cli/startup_files.h"

namespace velquor::cli {

// The parameters of Velquor.ini line 16 (`settings`), with the options' texts in their place;
// a window whose ends the options set one after the other is refused when from_s is after to_s.
Result<PushParameters> ChosenPushParameters(const PushParameterTexts& texts,
                                            const PushParameters& settings);

// Results go to `out`, notices and failures (one line each) to `err`. Returns the exit
// status: 0 when every file was done, 1 when any failed.
int RunPushes(const PushesOptions& options, const CliPaths& paths, std::ostream& out,
              std::ostream& err);

}  // namespace velquor::cli
