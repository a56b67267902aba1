// Where velquor-cli may write a report: the checks `report` and `progress` make before they
// read anything, so that no file is replaced that was not meant to be.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "common/result.h"

namespace velquor::cli {

// The problem with writing the report to `pdf` (stored form): a device, FIFO, directory or one
// of `inputs` (native paths) stands there, kept whether or not replacing was asked; or a file
// does and `overwrite` was not given. Nothing when the report may be written there.
std::optional<Problem> ReportTargetProblem(const std::string& pdf,
                                           const std::vector<std::string>& inputs, bool overwrite);

}  // namespace velquor::cli
