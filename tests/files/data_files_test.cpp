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

// Saves a measurement as RUN0000012 in the directory.
void SaveFirst(const TempDir& dir, const testing::SimMeasurement& m) {
  FileNaming naming = NamingIn(dir.path());
  ASSERT_TRUE(
      SaveDataFiles(naming, 0, *m.rec, *m.series, m.strokes, kStamp, WhenTaken::kRefuse).ok());
}

TEST(SaveDataFiles, WritesBothFilesInShiftJis) {
  TempDir dir;
  auto m = Simulate(3, 200);
  FileNaming naming = NamingIn(dir.path(), "ノート１");
  ASSERT_TRUE(
      SaveDataFiles(naming, 0, *m->rec, *m->series, m->strokes, kStamp, WhenTaken::kRefuse).ok());
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
    std::string block;  // a directory stands where this file of the pair should go
    bool existed;       // an earlier pair of the same name is there (and may be replaced)
    std::string failing, reason;
  };
  const Case cases[] = {
      {"/absent", "", "", false, "_csv.csv", "No such file"},
      {"", "ok \xF0\x9F\x98\x80", "", true, "_dat.csv", "cannot be saved"},  // an emoji
      {"", "", "_dat.csv", false, "_dat.csv", "is a directory"},
      {"", "", "_dat.csv", true, "_dat.csv", "is a directory"},
  };
  auto old = Simulate(5, 100), fresh = Simulate(7, 120);
  for (const auto& c : cases) {
    TempDir dir;
    FileNaming naming = NamingIn(dir.path() + c.dir_suffix, c.note);
    std::string old_csv;
    if (c.existed) {
      FileNaming plain = NamingIn(dir.path());
      ASSERT_TRUE(
          SaveDataFiles(plain, 0, *old->rec, *old->series, old->strokes, kStamp, WhenTaken::kRefuse)
              .ok());
      old_csv = ReadFileBytes(dir / "RUN0000012_csv.csv").value();
    }
    if (!c.block.empty()) {
      std::filesystem::remove(dir / ("RUN0000012" + c.block));
      std::filesystem::create_directories(dir / ("RUN0000012" + c.block + "/keep"));
    }
    auto s = SaveDataFiles(naming, 0, *fresh->rec, *fresh->series, fresh->strokes, kStamp,
                           WhenTaken::kReplace);
    ASSERT_FALSE(s.ok()) << c.reason;
    EXPECT_NE(s.problem().file.find("RUN0000012" + c.failing), std::string::npos)
        << s.problem().Describe();
    EXPECT_NE(s.problem().what.find(c.reason), std::string::npos) << s.problem().Describe();
    if (c.existed) {
      EXPECT_EQ(ReadFileBytes(dir / "RUN0000012_csv.csv").value(), old_csv) << "put back";
    } else {
      EXPECT_FALSE(std::filesystem::exists(dir / "RUN0000012_csv.csv")) << c.reason;
    }
    for (const auto& e : std::filesystem::directory_iterator(dir.path())) {
      EXPECT_EQ(e.path().filename().string().rfind(".velquor-", 0), std::string::npos)
          << "temporary file left: " << e.path();
    }
  }
}

// A taken name: the automatic save moves on and says so, a plain save refuses, and only an
// explicit replace writes over the old pair.
TEST(SaveDataFiles, ATakenNameIsNeverReplacedUnasked) {
  TempDir dir;
  auto m = Simulate(3, 100);
  SaveFirst(dir, *m);
  const std::string old_dat = ReadFileBytes(dir / "RUN0000012_dat.csv").value();
  // Only the per-sample file of 13 is there (a killed run of an older build): 13 is taken too.
  ASSERT_TRUE(WriteFileAtomic(dir / "RUN0000013_csv.csv", "x").ok());

  auto again = Simulate(3, 200);  // with stroke rows, which carry the note
  ASSERT_GE(again->strokes.StrokeCount, 1);
  FileNaming naming = NamingIn(dir.path(), "second");
  auto refused = SaveDataFiles(naming, 0, *again->rec, *again->series, again->strokes, kStamp,
                               WhenTaken::kRefuse);
  ASSERT_FALSE(refused.ok());
  EXPECT_NE(refused.problem().what.find("exists already"), std::string::npos);
  EXPECT_EQ(naming.Auto.Org, "12");

  auto moved = SaveDataFiles(naming, 0, *again->rec, *again->series, again->strokes, kStamp,
                             WhenTaken::kNextFreeNumber);
  ASSERT_TRUE(moved.ok()) << moved.problem().Describe();
  EXPECT_TRUE(moved.value().renumbered);
  EXPECT_EQ(moved.value().usedOrg, "14");
  EXPECT_EQ(moved.value().Describe().substr(0, 39), "RUN0000012 exists; saved as RUN0000014:");
  EXPECT_EQ(ReadFileBytes(dir / "RUN0000012_dat.csv").value(), old_dat);
  EXPECT_EQ(ReadFileBytes(dir / "RUN0000013_csv.csv").value(), "x");
  EXPECT_NE(ReadFileBytes(dir / "RUN0000014_dat.csv").value().find("second"), std::string::npos);

  FileNaming replace = NamingIn(dir.path(), "third");
  auto replaced = SaveDataFiles(replace, 0, *again->rec, *again->series, again->strokes, kStamp,
                                WhenTaken::kReplace);
  ASSERT_TRUE(replaced.ok());
  EXPECT_TRUE(replaced.value().replaced);
  EXPECT_NE(ReadFileBytes(dir / "RUN0000012_dat.csv").value().find("third"), std::string::npos);
}

// Faults that once ended the program or wrote a pair that reads back wrong: each is now a
// message naming the file, and nothing is written.
TEST(SaveDataFiles, RefusesNamesThatCannotBeUsed) {
  TempDir dir;
  auto m = Simulate(3, 100);
  std::filesystem::create_symlink("loop", dir / "loop");
  struct Case {
    std::string dir, head;
    WhenTaken rule;
    std::string what;
  };
  const Case cases[] = {
      {dir.path(), "A,B", WhenTaken::kNextFreeNumber, "\",\""},
      {dir.path(), "\"Q", WhenTaken::kReplace, "double quote"},
      {dir / "loop", "RUN", WhenTaken::kNextFreeNumber, "cannot be examined"},
  };
  for (const Case& c : cases) {
    FileNaming naming = NamingIn(c.dir);
    naming.Auto.Head = c.head;
    auto s = SaveDataFiles(naming, 0, *m->rec, *m->series, m->strokes, kStamp, c.rule);
    ASSERT_FALSE(s.ok()) << c.head;
    EXPECT_NE(s.problem().what.find(c.what), std::string::npos) << s.problem().Describe();
    EXPECT_EQ(naming.Auto.Org, "12") << "the number stays when nothing was saved";
  }
  std::size_t entries = 0;
  for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir.path())) ++entries;
  EXPECT_EQ(entries, 1u) << "nothing but the loop";
}

TEST(SaveDataFiles, RefusesARecordThatCannotBeWritten) {
  TempDir dir;
  auto m = Simulate(3, 100);
  FileNaming naming = NamingIn(dir.path());
  m->rec->DataNum = 2001;
  auto s = SaveDataFiles(naming, 0, *m->rec, *m->series, m->strokes, kStamp, WhenTaken::kRefuse);
  ASSERT_FALSE(s.ok());
  EXPECT_NE(s.problem().what.find("2001"), std::string::npos);
  EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}

}  // namespace
}  // namespace velquor
