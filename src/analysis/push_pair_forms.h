// The left/right pairs as text: the tidy pairs CSV written beside the pushes CSV.
#pragma once

#include <string>
#include <string_view>

#include "analysis/push_pairs.h"

namespace velquor {

// UTF-8, LF line ends: "file,left,right,lag_ms," and "si_" with each summarised figure's
// name, then one row per pair in the left pushes' order, an empty index an empty field.
std::string PairsCsv(std::string_view file, const PushPairs& pairs);

}  // namespace velquor
