#include "plot/nice_range.h"

#include <cmath>

namespace velquor {

double IntPart(double v) {
  return std::floor(v);
}

double TenDown(double v) {
  return IntPart(v / 10) * 10;
}

double TenUp(double v) {
  return IntPart(v / 10 + 1) * 10;
}

double UnitDown(double v) {
  return IntPart(v);
}

double UnitUp(double v) {
  return IntPart(v + 1);
}

double UnitBelow(double v) {
  return IntPart(v - 1);
}

double SymmetricTen(double max, double min) {
  if (std::abs(max) > std::abs(min)) return IntPart(max / 10 + 1) * 10;
  return -IntPart(min / 10 - 1) * 10;
}

}  // namespace velquor
