#include <gtest/gtest.h>

#include <cmath>
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

TEST(CalibrationFile, ACoefficientWithMoreDigitsIsReadAndWrittenAsStored) {
  std::string file = CalibrationText(Fitted()).text;
  file.replace(file.find("ch1 Ka0,0.3333333"), 17, "ch1 Ka0,0.333333333333333");
  CalibrationLoad got = ReadCalibrationText(file, "Velquor.clb");
  EXPECT_TRUE(got.notices.empty());
  EXPECT_TRUE(got.values.loaded);
  EXPECT_EQ(got.values.Ka0[1], 0.333333333333333);  // read in double precision
  EXPECT_EQ(CalibrationText(got.values).text, file);
}

TEST(CalibrationFile, PointTextsReadBackWhole) {
  for (const std::string t : {"1,5", " 2", "\"3", "x\"y", ""}) {
    Calibration c = Fitted();
    c.TqText[0][3] = t;
    c.VoltText[1][12] = t;
    CalibrationFileText f = CalibrationText(c);
    CalibrationLoad got = ReadCalibrationText(f.text, "Velquor.clb");
    const std::string expected = t == "\"3" ? "3" : t;  // a leading quote cannot be held
    EXPECT_EQ(f.notices.size(), t == "\"3" ? 2u : 0u) << t;
    EXPECT_EQ(got.values.TqText[0][3], expected);
    EXPECT_EQ(got.values.VoltText[1][12], expected);
    EXPECT_EQ(got.values.Ka1[0], 12.5) << t << ": the coefficients are not shifted";
    EXPECT_EQ(CalibrationText(got.values).text, f.text) << t << ": saved again unchanged";
  }
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
      {"a coefficient too large for a number",
       std::string(whole).replace(whole.find("12.5"), 4, "3e999"), 30, "not a usable number", true},
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
  EXPECT_EQ(DatedCopyPath("C:\\data", kStamp), "C:\\data\\12051430.clb");
  EXPECT_EQ(DatedCopyPath("", kStamp), "12051430.clb");  // the working directory

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

TEST(CalibrationFile, MissingFileMeansNoCalibration) {
  TempDir dir;
  CalibrationLoad got = LoadCalibration(dir / "Velquor.clb");
  ASSERT_EQ(got.notices.size(), 1u);
  EXPECT_NE(got.notices[0].what.find("no calibration is loaded"), std::string::npos);
  EXPECT_FALSE(got.values.loaded);
  EXPECT_EQ(got.values.TqText[0][0], "-30");
  EXPECT_EQ(got.values.Ka1[0], 0.0);
}

TEST(FitAndSaveCalibration, AFailedFitKeepsTheCalibrationAndWritesNothing) {
  TempDir dir;
  const std::string working = dir / "Velquor.clb";
  Calibration cal = Fitted();
  cal.VoltText[1][4] = "1,2";  // not a complete number
  const Calibration before = cal;
  FitAndSave bad = FitAndSaveCalibration(cal, dir.path(), kStamp, working);
  ASSERT_FALSE(bad.fit.ok());
  EXPECT_NE(bad.fit.problem().what.find("ch1 (Right) row 5"), std::string::npos)
      << bad.fit.problem().what;
  EXPECT_EQ(cal.Ka1, before.Ka1);
  EXPECT_EQ(cal.Ka0, before.Ka0);
  EXPECT_EQ(cal.CalCount, before.CalCount);
  EXPECT_TRUE(std::filesystem::is_empty(dir.path()));

  cal.VoltText[1][4] = "1.5";
  FitAndSave good = FitAndSaveCalibration(cal, dir.path(), kStamp, working);
  ASSERT_TRUE(good.fit.ok());
  EXPECT_TRUE(good.save.working.ok());
  EXPECT_TRUE(good.save.copy.ok());
  EXPECT_EQ(cal.CalCount[1], 2);
  EXPECT_TRUE(cal.KaSingle);
  // Seven digits come back as the nearest single or its neighbour.
  EXPECT_NEAR(LoadCalibration(working).values.Ka1[1], cal.Ka1[1], 1e-6 * std::fabs(cal.Ka1[1]));
}

}  // namespace
}  // namespace velquor
