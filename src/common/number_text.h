// Writing numbers as text: Str-form (sign position kept), plain form, and the digit
// patterns of the result boxes. All round the exact binary value half away from zero.
#pragma once

#include <string>
#include <string_view>

namespace velquor {

// Str-form of a single-precision value: 7 significant digits (" .25", "-.5", " 12").
std::string StrForm(float v);
// Str-form of a double-precision value: 15 significant digits.
std::string StrForm(double v);
// Plain form: Str-form without the leading blank and with "0" before the point ("0.25").
std::string PlainForm(float v);
std::string PlainForm(double v);

// A digit pattern such as "###.#": rounded to as many decimals as there are "#" after the
// point, trailing zeros dropped, the point always printed (0.5 -> ".5", 2 -> "2.", 0 -> "."),
// and "-" before the digits of every negative value (-0.04 -> "-." with "###.#").
std::string FormatPattern(double v, std::string_view pattern);

// Str-form or plain form with a given number of significant digits (7 or 15).
std::string NumberText(double v, int digits, bool keep_sign_blank);

}  // namespace velquor
