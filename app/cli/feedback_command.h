// velquor-cli feedback --print: the feedback targets in force, as Velquor.ini holds them.
#pragma once

#include <ostream>

#include "app/cli/cli_options.h"
#include "app/cli/startup_files.h"

namespace velquor::cli {

// The schedule, then one line per chosen variable with its band; exit status 0, or 1 when
// the settings file cannot be read.
int RunFeedback(const FeedbackOptions& o, const CliPaths& paths, std::ostream& out,
                std::ostream& err);

// The text RunFeedback prints for these settings.
std::string FeedbackText(const FeedbackSettings& s);

}  // namespace velquor::cli
