// The strain-gauge calibration in force: the coefficients of Tq = Ka1 * Volt + Ka0 per
// channel, the point-table texts of the calibration screen and the points of the last fit.
#pragma once

#include <array>
#include <string>

namespace velquor {

inline constexpr int kCalRows = 13;

struct Calibration {
  std::array<double, 2> Ka1{};  // Nm per V
  std::array<double, 2> Ka0{};  // Nm
  bool loaded = false;          // false until a file was read or a fit was made
  bool KaSingle = false;        // after a fit the coefficients carry single precision
  // Where the coefficients came from: the file read or written, and when it was last
  // written ("YYYY-MM-DD hh:mm"); both empty while nothing was loaded.
  std::string file;
  std::string date;

  // Texts of the 13 rows per channel, as typed or as read from the file. (No "{}" here:
  // strings start empty anyway, and clang 14 crashes on a nested brace initialiser.)
  std::array<std::array<std::string, kCalRows>, 2> TqText;
  std::array<std::array<std::string, kCalRows>, 2> VoltText;

  // Points of the last fit, k = 1..CalCount(ch) (element 0 unused).
  std::array<int, 2> CalCount{};
  std::array<std::array<double, kCalRows + 1>, 2> CalVolt{};
  std::array<std::array<double, kCalRows + 1>, 2> CalTorque{};

  // The design-time table: torques -30, -25, ... 30, voltages empty, coefficients 0.
  static Calibration DesignTime();
};

// The torque of channel ch (Nm) from its voltage: Ka1 * volt + Ka0, without Ka0 with `shift`.
float CalibratedTorque(const Calibration& cal, bool shift, int ch, float volt);

}  // namespace velquor
