// The physical and counting constants every analysis step shares: wheel geometry, the
// five-place pi used for every degree/radian conversion, and the encoder's counting range.
#pragma once

namespace velquor {

inline constexpr float kWheelRadius = 0.31f;  // m, held as a single (0.3100000024)
inline constexpr double kTrackWidth = 0.505;  // m, between the wheels' contact points
inline constexpr double kPi5 = 3.14159;  // pi to five places: the saved results were made with it

inline constexpr double kDegPerTurn = 360;
inline constexpr double kCountsPerTurn = 2000;   // encoder counts per wheel turn
inline constexpr float kCountRange = 4096;       // counts 0..4095, then back to 0
inline constexpr float kLargestCountStep = 500;  // a larger change per sample is a wrap

}  // namespace velquor
