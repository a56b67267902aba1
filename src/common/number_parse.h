// Reading numbers from texts: Val, the leading-number rule used for every box and file
// field, and the complete-number conversion that must consume the whole text.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace velquor {

// Blanks, tabs and line feeds anywhere are ignored; the longest leading part that reads as
// a decimal number (sign, digits with at most one ".", optional exponent) is the value;
// a text that does not begin with a number gives 0.
double Val(std::string_view text);

// The whole text apart from surrounding blanks must be a number, or there is no value.
std::optional<double> ParseComplete(std::string_view text);

// A complete number rounded to a whole number, halves to even; no value when the text is
// not a number or the result falls outside [lo, hi].
std::optional<std::int64_t> ParseWhole(std::string_view text, std::int64_t lo, std::int64_t hi);

// The same for a 16-bit whole number (-32768..32767).
std::optional<std::int16_t> ParseWhole16(std::string_view text);

// Rounds to the nearest whole number, halves to even.
double RoundHalfEven(double v);

}  // namespace velquor
