// The rules that turn data extremes into round axis ends: tens for torque, power and
// turning, whole units for speed, distance and position.
#pragma once

namespace velquor {

// The greatest whole number not greater than v (Int(2.7) = 2, Int(-0.3) = -1).
double IntPart(double v);

double TenDown(double v);    // Int(v / 10) * 10: 23 -> 20, -3 -> -10
double TenUp(double v);      // Int(v / 10 + 1) * 10: 23 -> 30, 20 -> 30
double UnitDown(double v);   // Int(v): -0.1 -> -1
double UnitUp(double v);     // Int(v + 1): 1.2 -> 2, 2 -> 3
double UnitBelow(double v);  // Int(v - 1): 0 -> -1

// k of an axis centred on zero that runs from -k to k and holds both extremes: taken from
// the maximum when it is larger in magnitude, otherwise from the minimum.
double SymmetricTen(double max, double min);

}  // namespace velquor
