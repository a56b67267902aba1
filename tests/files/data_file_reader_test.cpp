#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <string>
#include <tuple>

#include "common/number_parse.h"
#include "files/csv_rows.h"
#include "files/data_file_reader.h"
#include "files/data_file_text.h"
#include "files/data_files.h"
#include "files/sim_measurement.h"
#include "files/temp_dir.h"

namespace velquor {
namespace {

using testing::Fields;
using testing::Lines;
using testing::SimMeasurement;
using testing::Simulate;
using testing::TempDir;

const SaveStamp kStamp{2026, 12, 5, 14, 30, 0};

struct Pair {
  std::string dat, csv;
};

Pair Texts(const SimMeasurement& m, const std::string& note = "") {
  return {SummaryFileText("RUN0000001", note, *m.rec, m.strokes, kStamp),
          SampleFileText(*m.rec, *m.series)};
}

Result<LoadedDataPtr> Read(const Pair& p) {
  return ReadDataTexts(p.dat, p.csv, "r_dat.csv", "r_csv.csv");
}

// Reads a pair back into a fresh measurement with the same calibration and conditions and
// analyses it.
std::unique_ptr<SimMeasurement> Reload(const Pair& p, const SimMeasurement& like) {
  auto loaded = Read(p);
  EXPECT_TRUE(loaded.ok()) << loaded.problem().Describe();
  auto m = std::make_unique<SimMeasurement>();
  if (!loaded) return m;
  m->cal = like.cal;
  m->cond = like.cond;
  CommitLoadedData(*loaded.value(), *m->rec, *m->series);
  m->Analyse();
  return m;
}

// Fields before `exact_until` must match to the letter; later ones may differ in the last of
// their seven digits (a voltage saved with 7 digits comes back as a neighbouring single).
void ExpectSameFile(const std::string& a, const std::string& b, std::size_t exact_until) {
  auto la = Lines(a), lb = Lines(b);
  ASSERT_EQ(la.size(), lb.size());
  for (std::size_t r = 0; r < la.size(); ++r) {
    auto fa = Fields(la[r]), fb = Fields(lb[r]);
    ASSERT_EQ(fa.size(), fb.size()) << "line " << r + 1;
    for (std::size_t f = 0; f < fa.size(); ++f) {
      if (r == 0 || f < exact_until) {
        ASSERT_EQ(fa[f], fb[f]) << "line " << r + 1 << " field " << f + 1;
      } else {
        const double x = Val(fa[f]), y = Val(fb[f]);
        ASSERT_LE(std::fabs(x - y), 2e-6 * std::max(1.0, std::fabs(x)))
            << "line " << r + 1 << " field " << f + 1 << ": " << fa[f] << " vs " << fb[f];
      }
    }
  }
}

TEST(DataFileRoundTrip, SavedReloadedRecomputedAndSavedAgain) {
  auto first = Simulate(3, 500);
  ASSERT_GE(first->strokes.StrokeCount, 2);
  const Pair p1 = Texts(*first, "note");
  auto second = Reload(p1, *first);
  const Pair p2 = Texts(*second, "note");
  // Name, stamp, condition and onsets (summary fields 1..11) and the raw columns
  // (per-sample fields 1..6) come back exactly.
  ExpectSameFile(p1.dat, p2.dat, 11);
  ExpectSameFile(p1.csv, p2.csv, 6);
  // From then on the files are a fixed point: reloading changes nothing, byte for byte.
  const Pair p3 = Texts(*Reload(p2, *first), "note");
  EXPECT_EQ(p3.dat, p2.dat);
  EXPECT_EQ(p3.csv, p2.csv);
}

TEST(DataFileRoundTrip, NoStrokeRowTakesTheConditionFromTheSampleFile) {
  auto m = Simulate(5, 300, 10);
  m->cond = ReadStrokeConditions("100", "2", JudgeChannel::kAuto);  // starts after the end
  m->Analyse();
  ASSERT_EQ(m->strokes.StrokeCount, 0);
  const Pair p1 = Texts(*m);
  auto loaded = Read(p1);
  ASSERT_TRUE(loaded.ok()) << loaded.problem().Describe();
  const MeasurementRecord& r = loaded.value()->record;
  EXPECT_EQ(std::make_tuple(r.DataNum, r.SampInterval, r.MeasTime),
            std::make_tuple(300.0f, 10.0, 3.0));
  ASSERT_EQ(loaded.value()->notices.size(), 1u);
  EXPECT_NE(loaded.value()->notices[0].what.find("per-sample file"), std::string::npos);
  const Pair p2 = Texts(*Reload(p1, *m));
  EXPECT_EQ(p2.dat, p1.dat);
  ExpectSameFile(p1.csv, p2.csv, 6);
}

TEST(DataFileReader, BothProgramTagsAndTheOlderLayout) {
  auto m = Simulate(3, 200);
  ASSERT_GE(m->strokes.StrokeCount, 1);
  const Pair p = Texts(*m);
  struct Case {
    std::string tag;  // and what stands between it and the condition
    std::size_t notices;
  };
  // The older layout has seven more fields before the condition.
  for (const auto& [tag, notices] :
       {Case{"Velquor10,", 0}, Case{"Velquor05,", 0}, Case{"OLDPROG,a,b,c,d,e,f,g,", 1}}) {
    Pair q = p;
    q.dat.replace(q.dat.find("Velquor10,"), 10, tag);
    auto loaded = Read(q);
    ASSERT_TRUE(loaded.ok()) << tag << ": " << loaded.problem().Describe();
    const MeasurementRecord& r = loaded.value()->record;
    EXPECT_EQ(std::make_tuple(r.SampInterval, r.DataNum, r.MeasTime, r.Encoder(1, 200)),
              std::make_tuple(20.0, 200.0f, 4.0, m->rec->Encoder(1, 200)))
        << tag;
    EXPECT_EQ(loaded.value()->notices.size(), notices) << tag;
  }
}

// A small valid pair to break in one place at a time: column k of every row holds k.
Pair SmallPair() {
  std::string dat = std::string(SummaryHeader()) + "\r\n" +
                    "R,12-05-2026,14:30:00,Velquor10, 20, 3, .06, .02, .06, 1, 3," +
                    std::string(32, ',') + "\r\n";
  std::string csv =
      "i, Time(i),Encoder(0), Encoder(1),Volt(0), Volt(1),Torque(0), Torque(1),Angle_deg(0), "
      "Angle_deg(1),Distance(0), Distance(1), Distance_av,Speed(0), Speed(1), Speed_av,"
      "Power(0), Power(1),Beta_deg, Alpha_deg,x, y\r\n"
      "time, sec,pulse, pulse,V, V,Nm, Nm,deg, deg,m, m, m,m/s, m/s, m/s,W, W,deg/s, deg,m, m\r\n";
  for (int i = 1; i <= 3; ++i) {
    csv += " " + std::to_string(i) + ", ." + std::to_string(2 * i) + ", 10, 20, .5,-.5";
    for (int k = 7; k <= 22; ++k) csv += ", " + std::to_string(k);
    csv += "\r\n";
  }
  return {dat, csv};
}

// Without a stroke row the rows are counted: one beyond the record is refused, not stored.
TEST(DataFileReader, NeverReadsPastTheLastSample) {
  Pair p = SmallPair();
  p.dat = std::string(SummaryHeader()) + "\r\n";
  const std::string row = p.csv.substr(p.csv.rfind(" 3, .6"));
  for (int i = 4; i <= kMaxSamples + 1; ++i) p.csv += row;
  auto loaded = Read(p);
  ASSERT_FALSE(loaded.ok());
  EXPECT_NE(loaded.problem().what.find("more than 2000 sample rows"), std::string::npos);
  p.csv.resize(p.csv.size() - row.size());
  EXPECT_TRUE(Read(p).ok()) << "2000 rows are a full record";
}

TEST(DataFileReader, EveryFaultNamesFileLineAndField) {
  // In one file of the small pair `from` becomes `to`; with `cut` the text ends after it.
  struct Case {
    bool in_csv;
    std::string from, to;
    bool cut;
    int line, field;
    std::string what;  // a piece of the message
  };
  const Case cases[] = {
      {false, "", "", true, 1, 0, "empty"},
      {false, " 3, .06", "", true, 2, 6, "expected the number of samples"},
      {false, " 20,", "abc,", false, 2, 5, "\"abc\""},
      {false, " 3, .06", " 2001, .06", false, 2, 6, "2001"},
      {false, " 3, .06", " 2.5, .06", false, 2, 6, "whole number"},
      {false, " 20,", " 0,", false, 2, 5, "from 0.001 msec to one hour"},
      // Numbers that read, but that no measurement can hold.
      {false, " 20,", " 1E+308,", false, 2, 5, "from 0.001 msec to one hour"},
      {false, " 20,", " 1E-300,", false, 2, 5, "from 0.001 msec to one hour"},
      {false, " 20,", " 3600001,", false, 2, 5, "from 0.001 msec to one hour"},
      {false, " 3, .06", " 3, 1E+300", false, 2, 7, "measuring time"},
      {true, " 2, .4, 10, 20, .5", " 2, .4, 10, 20, 1E+39", false, 4, 5, "single-precision"},
      {true, " 2, .4, 10", " 2, .4, 1E+30", false, 4, 3, "encoder count from 0 to 4095"},
      {true, " 2, .4, 10, 20", " 2, .4, 10, 4096", false, 4, 4, "Encoder(1)"},
      {true, " 2, .4, 10", " 2, .4, 1.5", false, 4, 3, "whole encoder count"},
      {true, " 2, .4, 10", " 2, .4, -1", false, 4, 3, "whole encoder count"},
      {true, "Volt(0)", "", true, 1, 0, "header"},
      {true, " 3, .6", "", true, 5, 1, "sample 3 of 3 is missing"},
      {true, " 3, .6, 10", " 3, .6, 10", true, 5, 4, "sample 3 of 3 lacks its last 19 fields"},
      {true, " 2, .4, 10", " 2, .4, x", false, 4, 3, "Encoder(0) of sample 2"},
      // A number too large to hold.
      {true, " 2, .4, 10, 20, .5", " 2, .4, 10, 20, 1E+999", false, 4, 5, "Volt(0) of sample 2"},
      {true, " 2, .4, 10, 20, .5,-.5, 7", " 2, .4, 10, 20, .5,-.5, -1E+39", false, 4, 7,
       "Torque(0)"},
      {true, ", 22\r\n 2,", "\r\n 2,", false, 3, 0, "only 21 of its 22 fields"},
      {true, ", 22\r\n 2,", ", 22, 23\r\n 2,", false, 3, 23, "more"},
  };
  for (const auto& c : cases) {
    Pair p = SmallPair();
    std::string& text = c.in_csv ? p.csv : p.dat;
    const std::size_t at = text.find(c.from);
    ASSERT_NE(at, std::string::npos) << c.from;
    text.replace(at, c.from.size(), c.to);
    if (c.cut) text.resize(at + c.to.size());
    auto loaded = Read(p);
    ASSERT_FALSE(loaded.ok()) << c.what;
    const Problem& pr = loaded.problem();
    EXPECT_EQ(std::make_tuple(pr.file, pr.line, pr.field),
              std::make_tuple(std::string(c.in_csv ? "r_csv.csv" : "r_dat.csv"), c.line, c.field))
        << pr.Describe();
    EXPECT_NE(pr.what.find(c.what), std::string::npos) << pr.Describe();
  }
}

TEST(DataFileReader, SampleFileOfTheSameStem) {
  const std::pair<std::string, std::string> cases[] = {
      {"C:\\data\\RUN0000012_dat.csv", "C:\\data\\RUN0000012_csv.csv"},
      {"rundat.csv", "runcsv.csv"},
      {"RUN_DAT.CSV", "RUN_csv.csv"},
      {"RUN_csv.csv", "(refused)"},  // a per-sample file is not read as a summary
      {"", "(refused)"},
  };
  for (const auto& [dat, csv] : cases) {
    auto got = SampleFilePathFor(dat);
    EXPECT_EQ(got.ok() ? got.value() : "(refused)", csv) << dat;
  }
}

TEST(LoadDataFiles, ReadsThePairFromDiskOrSaysWhatIsMissing) {
  TempDir dir;
  auto m = Simulate(3, 120);
  FileNaming naming;
  naming.Auto = {dir.path(), "RUN", "1", "", "", ""};
  ASSERT_TRUE(
      SaveDataFiles(naming, 0, *m->rec, *m->series, m->strokes, kStamp, WhenTaken::kRefuse).ok());
  auto loaded = LoadDataFiles(naming.DatFilePath);
  ASSERT_TRUE(loaded.ok()) << loaded.problem().Describe();
  EXPECT_EQ(loaded.value()->ViewCsvPath, naming.CsvFilePath);
  EXPECT_EQ(loaded.value()->record.DataNum, 120.0f);

  auto none = LoadDataFiles("");
  ASSERT_FALSE(none.ok());
  EXPECT_NE(none.problem().what.find("no data file"), std::string::npos);

  std::filesystem::remove(dir / "RUN0000001_csv.csv");
  auto missing = LoadDataFiles(naming.DatFilePath);
  ASSERT_FALSE(missing.ok());
  EXPECT_EQ(missing.problem().file, naming.CsvFilePath);
  EXPECT_NE(missing.problem().what.find("No such file"), std::string::npos);
}

}  // namespace
}  // namespace velquor
