#include "plot/nice_range.h"

#include <gtest/gtest.h>

namespace velquor {
namespace {

TEST(NiceRange, RulesAndTheirExamples) {
  struct Case {
    const char* rule;
    double (*f)(double);
    double v;
    double expected;
  };
  const Case cases[] = {
      {"ten-down", TenDown, 23, 20},
      {"ten-down", TenDown, -3, -10},
      {"ten-down", TenDown, -20, -20},
      {"ten-down", TenDown, 0, 0},
      {"ten-up", TenUp, 23, 30},
      {"ten-up", TenUp, 20, 30},
      {"ten-up", TenUp, -3, 0},
      {"ten-up", TenUp, -15, -10},
      {"ten-up", TenUp, 0, 10},
      {"unit-down", UnitDown, 0.4, 0},
      {"unit-down", UnitDown, -0.1, -1},
      {"unit-down", UnitDown, -2, -2},
      {"unit-up", UnitUp, 1.2, 2},
      {"unit-up", UnitUp, 2, 3},
      {"unit-up", UnitUp, 0, 1},
      {"unit-below", UnitBelow, 0, -1},
      {"unit-below", UnitBelow, -2.3, -4},
      {"unit-below", UnitBelow, 1.5, 0},
      {"int", IntPart, 2.7, 2},
      {"int", IntPart, -0.3, -1},
  };
  for (const auto& c : cases) EXPECT_EQ(c.f(c.v), c.expected) << c.rule << "(" << c.v << ")";
}

TEST(NiceRange, SymmetricTenHoldsTheLargerExtreme) {
  struct Case {
    double max, min, k;
  };
  const Case cases[] = {
      {35, -12, 40},   {12, -35, 50}, {0, 0, 10},   {10, -10, 20},  // a tie goes to the minimum
      {0.5, -0.4, 10}, {95, 0, 100},  {0, -20, 30},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(SymmetricTen(c.max, c.min), c.k) << c.max << ", " << c.min;
  }
}

}  // namespace
}  // namespace velquor
