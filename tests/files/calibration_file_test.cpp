#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <string>

#include "common/shift_jis.h"
#include "common/text_file.h"
#include "files/calibration_file.h"
#include "files/csv_rows.h"
#include "files/set_aside.h"
#include "files/temp_dir.h"

namespace velquor {
namespace {

using testing::Lines;
using testing::TempDir;

Calibration Fitted() {
  Calibration c = Calibration::DesignTime();
  c.VoltText[0][5] = "-.25";
  c.VoltText[0][7] = "0.25";
  c.VoltText[1][0] = "-1.5";
  c.Ka1 = {12.5, 20};
  c.Ka0 = {-0.25, 1.0 / 3};
  c.KaSingle = true;
  return c;
}

TEST(CalibrationFile, ThirtyThreeLinesWithPointsAndCoefficients) {
  auto lines = Lines(CalibrationText(Fitted()).text);
  ASSERT_EQ(lines.size(), 33u);
  EXPECT_EQ(lines[0], "ch0 (Left), Torque(Nm)-Volt(V)");
  EXPECT_EQ(lines[1], "-30,");  // an empty voltage leaves the row ending in ","
  EXPECT_EQ(lines[6], "-5,-.25");
  EXPECT_EQ(lines[13], "30,");
  EXPECT_EQ(lines[14], "ch1 (Right), Torque(Nm)-Volt(V)");
  EXPECT_EQ(lines[15], "-30,-1.5");
  EXPECT_EQ(lines[28], "Caribrated Results (Tq(Nm)=Ka1 x Volt(V) + Ka0)");
  EXPECT_EQ(lines[29], "ch0 Ka1,12.5");
  EXPECT_EQ(lines[30], "ch0 Ka0,-0.25");
  EXPECT_EQ(lines[31], "ch1 Ka1,20");
  EXPECT_EQ(lines[32], "ch1 Ka0,0.3333333");  // single precision after a fit
}

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
  const auto at = text.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  return at == std::string::npos ? text : text.replace(at, from.size(), to);
}

// A file that ends early keeps the rest of the design-time table; one whose coefficient is no
// finite number or whose items fell out of step cannot be used (it is to be kept aside).
// Either way no torque is computed from it: all four coefficients are 0, not only the bad one.
TEST(CalibrationFile, WhatCannotBeReadIsReported) {
  const std::string whole = CalibrationText(Fitted()).text;
  struct Case {
    std::string name, text;
    bool unreadable;  // else a notice
    int line, field;
    std::string piece;
    bool points_kept;  // row 5 of channel 0 (line 7) as written
  };
  const Case cases[] = {
      {"empty", "", false, 1, 0, "ends early", false},
      {"ends within channel 1", whole.substr(0, whole.find("-30,-1.5")), false, 16, 0, "ends early",
       true},
      {"ends within the coefficients", whole.substr(0, whole.find("ch1 Ka1")), false, 32, 0,
       "ends early", true},
      {"a coefficient is no number", Replaced(whole, "12.5", "abc"), true, 30, 2,
       "\"abc\" is not a finite number", true},
      {"a coefficient is nan", Replaced(whole, "-0.25", "nan"), true, 31, 2,
       "ch0 Ka0 \"nan\" is not a finite number", true},
      {"a coefficient overflows", Replaced(whole, "ch1 Ka1,20", "ch1 Ka1,1e999"), true, 32, 2,
       "no torque is computed", true},
      {"a comma typed into a point", Replaced(whole, "-5,-.25", "-5,-,25"), true, 7, 3,
       "points from line 7 on keep the design-time table", false},
      {"a point row left out", Replaced(whole, "25,\r\n30,\r\nch1", "30,\r\nch1"), true, 14, 1,
       "\"ch1 (Right)\" of line 15 stands here", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    CalibrationLoad got = ReadCalibrationText(c.text, "Velquor.clb");
    ASSERT_EQ(got.unreadable.has_value(), c.unreadable);
    ASSERT_EQ(got.notices.empty(), c.unreadable);
    const Problem& p = c.unreadable ? *got.unreadable : got.notices[0];
    EXPECT_EQ(p.file, "Velquor.clb");
    EXPECT_EQ(p.line, c.line) << p.Describe();
    EXPECT_EQ(p.field, c.field) << p.Describe();
    EXPECT_NE(p.what.find(c.piece), std::string::npos) << p.what;
    EXPECT_FALSE(got.values.loaded);
    EXPECT_EQ(got.values.Ka1, (std::array<double, 2>{0, 0}));
    EXPECT_EQ(got.values.Ka0, (std::array<double, 2>{0, 0}));
    EXPECT_EQ(got.values.VoltText[0][5], c.points_kept ? "-.25" : "");
  }
  const CalibrationLoad good = ReadCalibrationText(whole, "Velquor.clb");
  EXPECT_TRUE(good.values.loaded);
  EXPECT_TRUE(good.notices.empty() && !good.unreadable);
  EXPECT_EQ(good.values.Ka1[1], 20);
}

// A calibration that cannot be used is renamed before a fit can write a new one.
TEST(CalibrationFile, AnUnusableFileIsKeptAside) {
  TempDir dir;
  const std::string working = dir / "Velquor.clb";
  const std::string bytes =
      Utf8ToShiftJis(Replaced(CalibrationText(Fitted()).text, "12.5", "nan")).value();
  ASSERT_TRUE(WriteFileAtomic(working, bytes).ok());
  CalibrationLoad load = LoadCalibration(working);
  ASSERT_TRUE(KeepUnreadable(load.unreadable, true, load.notices));
  ASSERT_EQ(load.notices.size(), 1u);
  EXPECT_EQ(load.notices[0].line, 30);
  EXPECT_NE(load.notices[0].what.find("kept as " + working + ".unreadable"), std::string::npos)
      << load.notices[0].what;
  EXPECT_FALSE(std::filesystem::exists(working));
  EXPECT_EQ(ReadFileBytes(working + ".unreadable").value(), bytes);
}

}  // namespace
}  // namespace velquor
