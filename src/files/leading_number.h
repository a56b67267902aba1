// Whether a field holds a number for the leading-number rule to read, so that a text with
// no number at all can be reported instead of silently read as 0.
#pragma once

#include <string_view>

namespace velquor {

// True when Val finds a number at the start of the text (blanks anywhere are ignored).
bool BeginsWithNumber(std::string_view text);

}  // namespace velquor
