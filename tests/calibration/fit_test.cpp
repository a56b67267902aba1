#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "calibration/fit.h"

namespace velquor {
namespace {

Calibration WithVoltages(const std::vector<std::pair<int, std::string>>& ch0,
                         const std::vector<std::pair<int, std::string>>& ch1) {
  Calibration c = Calibration::DesignTime();
  for (const auto& [row, v] : ch0) c.VoltText[0].at(static_cast<std::size_t>(row)) = v;
  for (const auto& [row, v] : ch1) c.VoltText[1].at(static_cast<std::size_t>(row)) = v;
  return c;
}

TEST(FitLine, ThreePointsOnALine) {
  const double x[] = {-1, 0, 1};
  const double y[] = {-19, 1, 21};
  auto fit = FitLine(x, y);
  ASSERT_TRUE(fit.has_value());
  EXPECT_EQ(fit->Ka1, 20.0f);
  EXPECT_EQ(fit->Ka0, 1.0f);
}

TEST(FitLine, AgreesWithTheClosedFormOnScatteredPoints) {
  struct Case {
    std::vector<double> x, y;
  };
  const Case cases[] = {
      {{-1.5, -0.7, 0.1, 0.9, 1.7}, {-30, -14, 2.5, 17, 33.1}},
      {{0.01, 0.02, 0.04}, {0.2, 0.5, 0.8}},
      {{-1.234, -1.1, 0, 2.5, 3.75, 4.1, 4.2, 4.9}, {-25, -22, 0.3, 50, 75, 82, 84, 98}},
  };
  for (const auto& c : cases) {
    const double n = static_cast<double>(c.x.size());
    double sx = 0, sy = 0, sxx = 0, sxy = 0;
    for (std::size_t k = 0; k < c.x.size(); ++k) {
      sx += c.x[k];
      sy += c.y[k];
      sxx += c.x[k] * c.x[k];
      sxy += c.x[k] * c.y[k];
    }
    const double ka1 = (n * sxy - sx * sy) / (n * sxx - sx * sx);
    const double ka0 = (sy - ka1 * sx) / n;
    auto fit = FitLine(c.x, c.y);
    ASSERT_TRUE(fit.has_value());
    EXPECT_NEAR(fit->Ka1, ka1, 1e-4 * std::fabs(ka1));
    EXPECT_NEAR(fit->Ka0, ka0, 1e-4 * std::max(1.0, std::fabs(ka0)));
  }
}

TEST(FitLine, ElementsAreKeptInSinglePrecision) {
  // Nearly equal voltages: the sums differ from their singles in the digits that decide the
  // slope, so a fit in double precision would give another line.
  const double x[] = {10000, 10000.0001, 1};
  const double y[] = {1, 2, 3};
  const auto single = [](double v) { return static_cast<float>(v); };
  const float a11 = 3;
  const float a12 = single(x[0] + x[1] + x[2]);
  const float a22 = single(x[0] * x[0] + x[1] * x[1] + x[2] * x[2]);
  const float b1 = single(y[0] + y[1] + y[2]);
  const float b2 = single(y[0] * x[0] + y[1] * x[1] + y[2] * x[2]);
  // Gauss-Jordan by hand, each element rounded to single as it is stored.
  const float r12 = single(static_cast<double>(a12) / a11);
  const float r13 = single(static_cast<double>(b1) / a11);
  const float s22 = single(a22 - static_cast<double>(r12) * a12);
  const float s23 = single(b2 - static_cast<double>(r13) * a12);
  const float ka1 = single(static_cast<double>(s23) / s22);
  const float ka0 = single(r13 - static_cast<double>(ka1) * r12);
  auto fit = FitLine(x, y);
  ASSERT_TRUE(fit.has_value());
  EXPECT_EQ(fit->Ka1, ka1);
  EXPECT_EQ(fit->Ka0, ka0);
  // The closed form in double precision gives a clearly different slope.
  EXPECT_GT(std::fabs(fit->Ka1 - 0.00029985), 1e-4);
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
  struct Case {
    std::string name;
    Calibration cal;
    std::string piece;
  };
  const Case cases[] = {
      {"no point", WithVoltages({}, {{0, "1"}, {1, "2"}}), "ch0 (Left): a line needs"},
      {"one point", WithVoltages({{0, "1"}, {1, "2"}}, {{3, "1"}}), "ch1 (Right): a line needs"},
      {"same voltage twice", WithVoltages({{0, "1"}, {1, "1.0"}}, {{0, "1"}, {1, "2"}}),
       "2 points at 1 voltage"},
      {"voltage not a number", WithVoltages({{0, "1"}, {4, "1.2V"}}, {}), "ch0 (Left) row 5"},
      {"a comma", WithVoltages({{0, "1"}, {1, "2"}}, {{7, "0,5"}}), "ch1 (Right) row 8"},
      {"blank voltage", WithVoltages({{0, " "}, {1, "2"}}, {}), "ch0 (Left) row 1"},
  };
  for (const auto& c : cases) {
    auto fit = FitCalibration(c.cal);
    ASSERT_FALSE(fit.ok()) << c.name;
    EXPECT_NE(fit.problem().what.find(c.piece), std::string::npos)
        << c.name << ": " << fit.problem().what;
  }
  Calibration empty_torque = WithVoltages({{0, "1"}, {1, "2"}}, {{0, "1"}, {1, "2"}});
  empty_torque.TqText[1][1].clear();
  auto fit = FitCalibration(empty_torque);
  ASSERT_FALSE(fit.ok());
  EXPECT_NE(fit.problem().what.find("ch1 (Right) row 2: the torque beside the voltage is empty"),
            std::string::npos)
      << fit.problem().what;
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
