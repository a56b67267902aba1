// Writing the tidy CSV of a push analysis: UTF-8 bytes as they are, never over a file that
// is already there.
#pragma once

#include <string>
#include <string_view>

#include "common/result.h"

namespace velquor {

// `path` in stored form ("\" between directories). Refuses when the file exists, names the
// path on every failure, and writes atomically.
Status WritePushCsvFile(const std::string& path, std::string_view csv);

// The name Export CSV proposes for the pushes of the measurement saved as `dat_path`
// (stored form): STEM_pushes.csv beside it, as this system shows paths ("/" between the
// parts). Without a saved measurement, "pushes.csv" in the working directory.
std::string ProposedPushCsvPath(std::string_view dat_path);

}  // namespace velquor
