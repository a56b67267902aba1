#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "common/shift_jis.h"
#include "common/text_file.h"
#include "files/data_file_text.h"
#include "files/data_files.h"
#include "files/sim_measurement.h"
#include "files/temp_dir.h"

namespace velquor {
namespace {

using testing::Simulate;
using testing::TempDir;

const SaveStamp kStamp{2026, 12, 5, 14, 30, 0};

FileNaming NamingIn(const std::string& dir, const std::string& note = "") {
  FileNaming n;
  n.Auto = {dir, "RUN", "12", note, "", ""};
  return n;
}

TEST(SaveDataFiles, WritesBothFilesInShiftJis) {
  TempDir dir;
  auto m = Simulate(3, 200);
  FileNaming naming = NamingIn(dir.path(), "ノート１");
  ASSERT_TRUE(SaveDataFiles(naming, 0, *m->rec, *m->series, m->strokes, kStamp).ok());
  EXPECT_EQ(naming.DatFilePath, dir.path() + "\\RUN0000012_dat.csv");
  EXPECT_EQ(ReadFileBytes(dir / "RUN0000012_dat.csv").value(),
            Utf8ToShiftJis(SummaryFileText("RUN0000012", "ノート１", *m->rec, m->strokes, kStamp))
                .value());
  EXPECT_EQ(ReadFileBytes(dir / "RUN0000012_csv.csv").value(),
            Utf8ToShiftJis(SampleFileText(*m->rec, *m->series)).value());
}

// Each failure names the file and the reason and leaves the files as they were.
TEST(SaveDataFiles, AFailedSaveLeavesNoPartialPair) {
  struct Case {
    std::string dir_suffix;  // appended to the temp directory
    std::string note;
    bool block_csv;  // a directory stands where the per-sample file should go
    bool existed;    // an earlier pair of the same name is there
    std::string failing, reason;
  };
  const Case cases[] = {
      {"/absent", "", false, false, "_dat.csv", "No such file"},
      {"", "ok \xF0\x9F\x98\x80", false, true, "_dat.csv", "cannot be saved"},  // an emoji
      {"", "", true, false, "_csv.csv", "cannot replace"},
      {"", "", true, true, "_csv.csv", "cannot replace"},
  };
  auto old = Simulate(5, 100), fresh = Simulate(7, 120);
  for (const auto& c : cases) {
    TempDir dir;
    FileNaming naming = NamingIn(dir.path() + c.dir_suffix, c.note);
    std::string old_dat;
    if (c.existed) {
      FileNaming plain = NamingIn(dir.path());
      ASSERT_TRUE(SaveDataFiles(plain, 0, *old->rec, *old->series, old->strokes, kStamp).ok());
      old_dat = ReadFileBytes(dir / "RUN0000012_dat.csv").value();
    }
    if (c.block_csv) {
      std::filesystem::remove(dir / "RUN0000012_csv.csv");
      std::filesystem::create_directories(dir / "RUN0000012_csv.csv/keep");
    }
    Status s = SaveDataFiles(naming, 0, *fresh->rec, *fresh->series, fresh->strokes, kStamp);
    ASSERT_FALSE(s.ok()) << c.reason;
    EXPECT_NE(s.problem().file.find("RUN0000012" + c.failing), std::string::npos)
        << s.problem().Describe();
    EXPECT_NE(s.problem().what.find(c.reason), std::string::npos) << s.problem().Describe();
    if (c.existed) {
      EXPECT_EQ(ReadFileBytes(dir / "RUN0000012_dat.csv").value(), old_dat) << "put back";
    } else {
      EXPECT_FALSE(std::filesystem::exists(dir / "RUN0000012_dat.csv")) << c.reason;
    }
    for (const auto& e : std::filesystem::directory_iterator(dir.path())) {
      EXPECT_EQ(e.path().filename().string().rfind(".velquor-", 0), std::string::npos)
          << "temporary file left: " << e.path();
    }
  }
}

TEST(SaveDataFiles, RefusesARecordThatCannotBeWritten) {
  TempDir dir;
  auto m = Simulate(3, 100);
  FileNaming naming = NamingIn(dir.path());
  m->rec->DataNum = 2001;
  Status s = SaveDataFiles(naming, 0, *m->rec, *m->series, m->strokes, kStamp);
  ASSERT_FALSE(s.ok());
  EXPECT_NE(s.problem().what.find("2001"), std::string::npos);
  m->rec->DataNum = 100;
  m->strokes.StrokeCount = 4;
  EXPECT_FALSE(SaveDataFiles(naming, 0, *m->rec, *m->series, m->strokes, kStamp).ok());
  EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}

}  // namespace
}  // namespace velquor
