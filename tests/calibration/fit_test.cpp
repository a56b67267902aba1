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
      {no_torque, "ch1 (Right) row 2: the torque beside the voltage is empty"},
  };
  for (const auto& c : cases) {
    auto fit = FitCalibration(c.cal);
    ASSERT_FALSE(fit.ok()) << c.piece;
    EXPECT_NE(fit.problem().what.find(c.piece), std::string::npos) << fit.problem().what;
  }
}

}  // namespace
}  // namespace velquor
