#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "common/shift_jis.h"
#include "common/text_file.h"
#include "files/data_file_text.h"
#include "files/data_files.h"
#include "files/temp_dir.h"

namespace velquor {
namespace {

using testing::TempDir;

const SaveStamp kStamp{2026, 12, 5, 14, 30, 0};

struct Measurement {
  std::unique_ptr<MeasurementRecord> rec = std::make_unique<MeasurementRecord>();
  std::unique_ptr<DerivedSeries> series = std::make_unique<DerivedSeries>();
  StrokeResults strokes;

  explicit Measurement(float first_volt) {
    rec->SampInterval = 20;
    rec->DataNum = 3;
    rec->MeasTime = 0.06;
    for (int i = 1; i <= 3; ++i) rec->Volt(0, i) = first_volt + static_cast<float>(i);
    strokes.StrokeCount = 1;
    strokes.StrokeIdx = {0, 1, 3, 0, 0};
  }
};

FileNaming NamingIn(const std::string& dir, const std::string& note = "") {
  FileNaming n;
  n.Auto = {dir, "RUN", "12", note, "", ""};
  n.Manual = {dir, "MAN", "1", "manual", "", ""};
  return n;
}

std::string Read(const std::string& path) {
  auto bytes = ReadFileBytes(path);
  return bytes ? bytes.value() : "<unreadable: " + bytes.problem().what + ">";
}

TEST(SaveDataFiles, WritesBothFilesInShiftJisUnderTheCurrentSet) {
  TempDir dir;
  Measurement m(0.5f);
  FileNaming naming = NamingIn(dir.path(), "ノート１");
  ASSERT_TRUE(SaveDataFiles(naming, 0, *m.rec, *m.series, m.strokes, kStamp).ok());
  EXPECT_EQ(naming.BaseName, "RUN0000012");
  EXPECT_EQ(naming.DatFilePath, dir.path() + "\\RUN0000012_dat.csv");

  auto dat = Utf8ToShiftJis(SummaryFileText("RUN0000012", "ノート１", *m.rec, m.strokes, kStamp));
  auto csv = Utf8ToShiftJis(SampleFileText(*m.rec, *m.series));
  EXPECT_EQ(Read(dir / "RUN0000012_dat.csv"), dat.value());
  EXPECT_EQ(Read(dir / "RUN0000012_csv.csv"), csv.value());

  // The manual set names the files when the save flag says so.
  ASSERT_TRUE(SaveDataFiles(naming, 1, *m.rec, *m.series, m.strokes, kStamp).ok());
  EXPECT_TRUE(std::filesystem::exists(dir / "MAN0000001_dat.csv"));
  EXPECT_TRUE(std::filesystem::exists(dir / "MAN0000001_csv.csv"));
}

TEST(SaveDataFiles, SavingTwiceKeepsOnlyTheSecondMeasurement) {
  TempDir dir;
  Measurement first(1.0f), second(2.0f);
  FileNaming naming = NamingIn(dir.path());
  ASSERT_TRUE(SaveDataFiles(naming, 0, *first.rec, *first.series, first.strokes, kStamp).ok());
  second.strokes.StrokeCount = 0;
  ASSERT_TRUE(SaveDataFiles(naming, 0, *second.rec, *second.series, second.strokes, kStamp).ok());
  EXPECT_EQ(Read(dir / "RUN0000012_csv.csv"),
            Utf8ToShiftJis(SampleFileText(*second.rec, *second.series)).value());
  EXPECT_EQ(Read(dir / "RUN0000012_dat.csv"),
            std::string(Utf8ToShiftJis(std::string(SummaryHeader()) + "\r\n").value()));
}

// Each failure names the path and the reason and leaves the files as they were.
TEST(SaveDataFiles, AFailedSaveLeavesNoPartialPair) {
  struct Case {
    std::string name;
    std::string dir_suffix;  // appended to the temp directory
    std::string note;
    bool block_csv;       // a directory stands where the per-sample file should go
    std::string failing;  // which file the problem names
    std::string reason;   // a piece of the reason
  };
  const Case cases[] = {
      {"missing directory", "/absent", "", false, "_dat.csv", "No such file"},
      {"emoji in the note", "", "ok \xF0\x9F\x98\x80", false, "_dat.csv", "cannot be saved"},
      {"per-sample file blocked", "", "", true, "_csv.csv", "cannot replace"},
  };
  for (const auto& c : cases) {
    for (bool existed : {false, true}) {
      TempDir dir;
      const std::string d = dir.path() + c.dir_suffix;
      Measurement old(5.0f), fresh(7.0f);
      FileNaming naming = NamingIn(d, c.note);
      std::string old_dat;
      if (existed && c.dir_suffix.empty()) {
        FileNaming plain = NamingIn(d);
        ASSERT_TRUE(SaveDataFiles(plain, 0, *old.rec, *old.series, old.strokes, kStamp).ok());
        old_dat = Read(dir / "RUN0000012_dat.csv");
      }
      if (c.block_csv) {
        std::filesystem::remove(dir / "RUN0000012_csv.csv");
        std::filesystem::create_directory(dir / "RUN0000012_csv.csv");
        std::filesystem::create_directory(dir / "RUN0000012_csv.csv/keep");
      }
      Status s = SaveDataFiles(naming, 0, *fresh.rec, *fresh.series, fresh.strokes, kStamp);
      ASSERT_FALSE(s.ok()) << c.name;
      EXPECT_NE(s.problem().file.find("RUN0000012" + c.failing), std::string::npos)
          << c.name << ": " << s.problem().Describe();
      EXPECT_NE(s.problem().what.find(c.reason), std::string::npos)
          << c.name << ": " << s.problem().Describe();
      if (!old_dat.empty()) {
        EXPECT_EQ(Read(dir / "RUN0000012_dat.csv"), old_dat) << c.name << ": put back";
      } else {
        EXPECT_FALSE(std::filesystem::exists(dir / "RUN0000012_dat.csv")) << c.name;
      }
      for (const auto& e : std::filesystem::directory_iterator(dir.path())) {
        EXPECT_EQ(e.path().filename().string().rfind(".velquor-", 0), std::string::npos)
            << c.name << ": temporary file left: " << e.path();
      }
    }
  }
}

TEST(SaveDataFiles, RefusesARecordThatCannotBeWritten) {
  TempDir dir;
  Measurement m(1.0f);
  FileNaming naming = NamingIn(dir.path());
  m.rec->DataNum = 2001;
  Status s = SaveDataFiles(naming, 0, *m.rec, *m.series, m.strokes, kStamp);
  ASSERT_FALSE(s.ok());
  EXPECT_NE(s.problem().what.find("2001"), std::string::npos);
  m.rec->DataNum = 3;
  m.strokes.StrokeCount = 4;
  EXPECT_FALSE(SaveDataFiles(naming, 0, *m.rec, *m.series, m.strokes, kStamp).ok());
  EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}

}  // namespace
}  // namespace velquor
