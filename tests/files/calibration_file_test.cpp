#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "common/shift_jis.h"
#include "common/text_file.h"
#include "files/calibration_file.h"
#include "files/csv_rows.h"
#include "files/temp_dir.h"

namespace velquor {
namespace {

using testing::Lines;
using testing::TempDir;

const SaveStamp kStamp{2026, 12, 5, 14, 30, 7};

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

TEST(CalibrationFile, WhatCannotBeReadIsReported) {
  const std::string whole = CalibrationText(Fitted()).text;
  struct Case {
    std::string name, text;
    int line;
    std::string piece;
    bool points_kept;
  };
  const Case cases[] = {
      {"empty", "", 1, "ends early", false},
      {"ends within channel 1", whole.substr(0, whole.find("-30,-1.5")), 16, "ends early", true},
      {"a coefficient is no number", std::string(whole).replace(whole.find("12.5"), 4, "abc"), 30,
       "not a usable number", true},
  };
  for (const auto& c : cases) {
    CalibrationLoad got = ReadCalibrationText(c.text, "Velquor.clb");
    ASSERT_FALSE(got.notices.empty()) << c.name;
    EXPECT_EQ(got.notices[0].line, c.line) << c.name << ": " << got.notices[0].Describe();
    EXPECT_NE(got.notices[0].what.find(c.piece), std::string::npos) << c.name;
    EXPECT_FALSE(got.values.loaded) << c.name;
    EXPECT_EQ(got.values.VoltText[0][5], c.points_kept ? "-.25" : "") << c.name;
  }
}

TEST(CalibrationFile, DatedCopyBesideTheAutomaticSaves) {
  TempDir dir;
  const std::string working = dir / "Velquor.clb";
  CalibrationSave ok = SaveCalibration(Fitted(), dir.path(), kStamp, working);
  ASSERT_TRUE(ok.working.ok());
  ASSERT_TRUE(ok.copy.ok()) << ok.copy.problem().Describe();
  const std::string bytes = Utf8ToShiftJis(CalibrationText(Fitted()).text).value();
  EXPECT_EQ(ReadFileBytes(working).value(), bytes);
  EXPECT_EQ(ReadFileBytes(dir / "12051430.clb").value(), bytes);

  std::filesystem::remove(working);
  CalibrationSave no_copy = SaveCalibration(Fitted(), dir / "absent", kStamp, working);
  EXPECT_TRUE(no_copy.working.ok());
  ASSERT_FALSE(no_copy.copy.ok());
  EXPECT_EQ(no_copy.copy.problem().file, dir / "absent" + "\\12051430.clb");
  EXPECT_NE(no_copy.copy.problem().what.find("working file is saved"), std::string::npos);
  EXPECT_EQ(ReadFileBytes(working).value(), bytes);
}

}  // namespace
}  // namespace velquor
