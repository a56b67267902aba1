// How wide a text comes out in the report's sans-serif face, from the face's advance widths,
// so tables are laid out (columns fitted, heads broken into two lines) without drawing.
#pragma once

#include <string_view>

namespace velquor {

// Width in millimetres of `utf8` set at `points`, regular or bold. A character outside
// ASCII counts as a full em, which no character of the face exceeds.
double TextWidthMm(std::string_view utf8, double points, bool bold = false);

}  // namespace velquor
