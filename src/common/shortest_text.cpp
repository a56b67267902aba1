#include "common/shortest_text.h"

#include <array>
#include <charconv>

namespace velquor {

std::string ShortestText(double v) {
  std::array<char, 32> buf{};  // the longest shortest form, "-2.2250738585072014e-308", fits
  const auto res = std::to_chars(buf.data(), buf.data() + buf.size(), v);
  return std::string(buf.data(), res.ptr);
}

std::string ShortestText(float v) {
  std::array<char, 24> buf{};  // "-1.17549435e-38" and the like fit
  const auto res = std::to_chars(buf.data(), buf.data() + buf.size(), v);
  return std::string(buf.data(), res.ptr);
}

}  // namespace velquor
