// The straight-line fit of the calibration screen: the points of each channel collected
// from the rows with a voltage, the normal equations solved in single precision as the
// screen has always done it, and the coefficient texts of its Result frame.
#pragma once

#include <array>
#include <optional>
#include <span>
#include <string>

#include "common/result.h"
#include "record/calibration.h"

namespace velquor {

// Tq = Ka1 * Volt + Ka0, both single precision.
struct LineFit {
  float Ka1 = 0;
  float Ka0 = 0;
};

// Least squares of degree 1 with unit weights: sums in double, every element of the
// augmented normal matrix stored as a single, Gauss-Jordan elimination without pivot
// search. No value when a pivot is 0 (fewer than two different x) or the result is not
// finite.
std::optional<LineFit> FitLine(std::span<const double> x, std::span<const double> y);

struct CalibrationFit {
  std::array<LineFit, 2> line{};
  std::array<int, 2> CalCount{};
  std::array<std::array<double, kCalRows + 1>, 2> CalVolt{};
  std::array<std::array<double, kCalRows + 1>, 2> CalTorque{};
};

// Both channels: the rows whose voltage text is not empty become points 1..CalCount in row
// order, each text converted as a complete number. A problem names the channel and the row
// (1 = top) of a text that is not a number, or a channel without two different voltages.
Result<CalibrationFit> FitCalibration(const Calibration& texts);

// The new coefficients (single precision) and points into the calibration in force.
void ApplyFit(const CalibrationFit& fit, Calibration& cal);

// The Result frame: txtKa0(0) = Ka0 and txtKa0(1) = Ka1 of channel 0, txtKa1(0) and
// txtKa1(1) the same of channel 1, each with the pattern "##.####".
struct CoefficientTexts {
  std::array<std::string, 2> txtKa0;
  std::array<std::string, 2> txtKa1;
};
CoefficientTexts ShowCoefficients(const Calibration& cal);

}  // namespace velquor
