// The return-code text the device screens show: the code in upper-case hexadecimal (two's
// complement when negative), "000" in front, the last three characters kept, then "h".
#pragma once

#include <cstdint>
#include <string>

namespace velquor {

std::string ReturnCodeText(std::int32_t code);  // 0 -> "000h", 10 -> "00Ah", 12345 -> "039h"

// The digits shown are "000": the lamp turns green.
inline bool ReturnCodeShowsSuccess(std::int32_t code) {
  return ReturnCodeText(code) == "000h";
}

}  // namespace velquor
