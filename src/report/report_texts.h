// How reports write what the screens and files write otherwise: dates in ISO 8601, zeros as
// "0", calibration coefficients as the shortest texts of their singles.
#pragma once

#include <string>
#include <string_view>

namespace velquor {

// "12-07-2026" (month first, as the files keep it) as "2026-12-07"; any other text as it is.
std::string IsoDate(std::string_view mm_dd_yyyy);
// The date with the time to the minute: "2026-12-07 10:42"; what follows the seconds of the
// time ("10:42:07 (time of the file)") is kept.
std::string IsoDateTime(std::string_view mm_dd_yyyy, std::string_view hh_mm_ss);

// A number text that reads as zero ("." and "-." of the digit patterns, "0.000", "-0.000")
// as "0"; every other text as it is.
std::string ZeroAsZero(std::string text);

// A coefficient as the shortest text that reads back to the same single.
std::string CoefficientText(double v);

}  // namespace velquor
