#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "calibration/fit.h"

namespace velquor {
namespace {

using Points = std::vector<std::pair<int, std::string>>;  // row, voltage text

Calibration WithVoltages(const Points& ch0, const Points& ch1) {
  Calibration c = Calibration::DesignTime();
  for (const auto& [row, v] : ch0) c.VoltText[0].at(static_cast<std::size_t>(row)) = v;
  for (const auto& [row, v] : ch1) c.VoltText[1].at(static_cast<std::size_t>(row)) = v;
  return c;
}

TEST(FitLine, LeastSquaresLine) {
  struct Case {
    std::vector<double> x, y;
    float ka1, ka0;
  };
  const Case cases[] = {
      {{-1, 0, 1}, {-19, 1, 21}, 20, 1},
      {{0, 1, 2}, {0, 2, 1}, 0.5f, 0.5f},  // scattered: through none of the points
  };
  for (const auto& c : cases) {
    auto fit = FitLine(c.x, c.y);
    ASSERT_TRUE(fit.has_value());
    EXPECT_EQ(fit->Ka1, c.ka1);
    EXPECT_EQ(fit->Ka0, c.ka0);
  }
}

TEST(FitCalibration, CollectsTheRowsWithAVoltageInRowOrder) {
  Calibration c = WithVoltages({{2, "-1"}, {6, "0"}, {10, "1"}}, {});
  for (std::size_t j = 0; j < kCalRows; ++j) c.VoltText[1][j] = std::to_string(j) + ".5";
  auto fit = FitCalibration(c);
  ASSERT_TRUE(fit.ok()) << fit.problem().what;
  EXPECT_EQ(fit.value().CalCount[0], 3);
  EXPECT_EQ(fit.value().CalVolt[0][1], -1.0);
  EXPECT_EQ(fit.value().CalTorque[0][1], -20.0);  // row 2's torque
  EXPECT_EQ(fit.value().CalTorque[0][3], 20.0);   // row 10's torque
  EXPECT_EQ(fit.value().CalCount[1], 13);
  EXPECT_EQ(fit.value().CalVolt[1][13], 12.5);
  EXPECT_EQ(fit.value().line[0].Ka1, 20.0f);
  EXPECT_EQ(fit.value().line[1].Ka1, 5.0f);  // torques step 5 per volt
  EXPECT_EQ(fit.value().line[1].Ka0, -32.5f);
}

TEST(FitCalibration, WhatCannotBeFittedNamesTheChannelAndRow) {
  Calibration no_torque = WithVoltages({{0, "1"}, {1, "2"}}, {{0, "1"}, {1, "2"}});
  no_torque.TqText[1][1].clear();
  struct Case {
    Calibration cal;
    std::string piece;
  };
  const Case cases[] = {
      {WithVoltages({}, {{0, "1"}, {1, "2"}}), "ch0 (Left): a line needs"},
      {WithVoltages({{0, "1"}, {1, "1.0"}}, {{0, "1"}, {1, "2"}}), "2 points at 1 voltage"},
      {WithVoltages({{0, "1"}, {1, "2"}}, {{7, "0,5"}}), "ch1 (Right) row 8"},
      {WithVoltages({{0, " "}, {1, "2"}}, {}), "ch0 (Left) row 1"},  // a blank is no number
      {no_torque, "ch1 (Right) row 2: the torque beside the voltage is empty"},
  };
  for (const auto& c : cases) {
    auto fit = FitCalibration(c.cal);
    ASSERT_FALSE(fit.ok()) << c.piece;
    EXPECT_NE(fit.problem().what.find(c.piece), std::string::npos) << fit.problem().what;
  }
}

TEST(ShowCoefficients, FourDecimalsAtMost) {
  struct Case {
    double ka1, ka0;
    std::string t1, t0;
  };
  const Case cases[] = {
      {20, 1, "20.", "1."},
      {12.34567, -0.25, "12.3457", "-.25"},
      {0.5, 0, ".5", "."},
  };
  for (const auto& c : cases) {
    Calibration cal;
    cal.Ka1 = {c.ka1, 2};
    cal.Ka0 = {c.ka0, -3};
    CoefficientTexts t = ShowCoefficients(cal);
    EXPECT_EQ(t.txtKa0[1], c.t1);
    EXPECT_EQ(t.txtKa0[0], c.t0);
    EXPECT_EQ(t.txtKa1[1], "2.");
    EXPECT_EQ(t.txtKa1[0], "-3.");
  }
}

}  // namespace
}  // namespace velquor
