// 24-bit colours with red in the low byte, the lamp colours and the default graph colours.
#pragma once

#include <array>
#include <cstdint>

namespace velquor {

using Rgb = std::uint32_t;

constexpr Rgb MakeRgb(int r, int g, int b) {
  return static_cast<Rgb>(r & 0xFF) + 256u * static_cast<Rgb>(g & 0xFF) +
         65536u * static_cast<Rgb>(b & 0xFF);
}
constexpr int RedOf(Rgb c) {
  return static_cast<int>(c & 0xFF);
}
constexpr int GreenOf(Rgb c) {
  return static_cast<int>((c >> 8) & 0xFF);
}
constexpr int BlueOf(Rgb c) {
  return static_cast<int>((c >> 16) & 0xFF);
}

inline constexpr Rgb kLampGreen = MakeRgb(0, 255, 0);
inline constexpr Rgb kLampRed = MakeRgb(255, 0, 0);
inline constexpr Rgb kLampYellow = MakeRgb(255, 255, 0);
inline constexpr Rgb kWhite = MakeRgb(255, 255, 255);

// Default drawing colours: red for the left wheel, blue for the right, magenta otherwise.
inline constexpr std::array<Rgb, 3> kDefaultGraphColor = {MakeRgb(255, 0, 0), MakeRgb(0, 0, 255),
                                                          MakeRgb(255, 0, 255)};

}  // namespace velquor
