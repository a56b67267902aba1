// A settings text whose labelled line stands where the program writes it: after the 16 fixed
// lines and a trial length, so that a notice names line 18.
#pragma once

#include <string>

namespace velquor::testing {

inline constexpr int kLabelledLine = 18;

inline std::string AfterFixedLines(const std::string& line) {
  std::string text;
  for (int k = 1; k < kLabelledLine - 1; ++k) text += "\"Line\"," + std::to_string(k) + "\r\n";
  return text + "\"Trial\",240\r\n" + line;
}

}  // namespace velquor::testing
