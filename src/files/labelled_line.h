// The lines of the settings file after its fixed ones, each found by the label it begins
// with rather than by its place, so that a file without them still loads.
#pragma once

#include <optional>
#include <string_view>

namespace velquor {

// The first line from line `number` (counted from 1) on that begins with `label`, without
// its line end. Later than line `number` only when a text above holds a line break inside
// its quotes, or a labelled line before it is missing.
std::optional<std::string_view> LabelledLine(std::string_view text, int number,
                                             std::string_view label);

}  // namespace velquor
