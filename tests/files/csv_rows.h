// Splits a saved text into its CR LF lines and a line into its comma-separated fields, as
// the file tests look at them.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace velquor::testing {

inline std::vector<std::string> Fields(const std::string& line) {
  std::vector<std::string> out;
  for (std::size_t pos = 0;;) {
    const std::size_t comma = line.find(',', pos);
    out.push_back(line.substr(pos, comma - pos));
    if (comma == std::string::npos) return out;
    pos = comma + 1;
  }
}

inline std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> out;
  for (std::size_t pos = 0; pos < text.size();) {
    const std::size_t end = text.find("\r\n", pos);
    EXPECT_NE(end, std::string::npos) << "every line ends in CR LF";
    if (end == std::string::npos) break;
    out.push_back(text.substr(pos, end - pos));
    pos = end + 2;
  }
  return out;
}

}  // namespace velquor::testing
