// The push analysis of one measurement as the JSON document velquor-cli pushes prints:
// parameters, and for each wheel its pushes, summary and mean push curve.
#pragma once

#include <string>
#include <string_view>

#include "analysis/push_analysis.h"

namespace velquor {

// {"file", "parameters", "wheels"} on one line, without a line feed. Numbers are the
// shortest text that reads back to the same double; an empty figure is null.
std::string PushJson(std::string_view file, const PushAnalysis& a);

// {"on_s": ..., ...}: every figure of one push by name, null where empty.
std::string PushFiguresJson(const Push& push);

}  // namespace velquor
