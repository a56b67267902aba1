#include "calibration/calibration_workflow.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "common/shift_jis.h"
#include "common/text_file.h"
#include "files/temp_dir.h"

namespace velquor {
namespace {

using testing::TempDir;

const SaveStamp kStamp{2026, 12, 5, 14, 30, 7};

Calibration Fitted() {
  Calibration c = Calibration::DesignTime();
  c.Ka1 = {12.5, 20};
  c.Ka0 = {-0.25, 1.0 / 3};
  c.KaSingle = true;
  return c;
}

TEST(CalibrationWorkflow, DatedCopyBesideTheAutomaticSaves) {
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
