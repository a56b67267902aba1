// Counting and cutting texts by characters rather than bytes: names and numbers are held
// in UTF-8, but their lengths are the lengths the operator sees.
#pragma once

#include <cstddef>
#include <string_view>

namespace velquor {

// Number of characters (code points) of a UTF-8 text; a stray byte counts as one.
std::size_t CharCount(std::string_view utf8);

// The text without its last n characters (empty when it has fewer).
std::string_view DropLastChars(std::string_view utf8, std::size_t n);

// Whether the text ends in `lower_end` (given in lower case), ignoring ASCII case, as file
// names are compared.
bool EndsWithNoCase(std::string_view text, std::string_view lower_end);

}  // namespace velquor
