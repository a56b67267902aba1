#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "common/number_parse.h"
#include "common/text_file.h"
#include "files/data_file_reader.h"
#include "files/data_file_text.h"
#include "files/data_files.h"
#include "files/sim_measurement.h"
#include "files/temp_dir.h"

namespace velquor {
namespace {

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

// Reads a pair back into a fresh measurement with the same calibration and analyses it.
std::unique_ptr<SimMeasurement> Reload(const Pair& p, const Calibration& cal) {
  auto loaded = ReadDataTexts(p.dat, p.csv, "r_dat.csv", "r_csv.csv");
  EXPECT_TRUE(loaded.ok()) << loaded.problem().Describe();
  auto m = std::make_unique<SimMeasurement>();
  if (!loaded) return m;
  m->cal = cal;
  CommitLoadedData(*loaded.value(), *m->rec, *m->series);
  m->Analyse();
  return m;
}

std::vector<std::vector<std::string>> Table(const std::string& text) {
  std::vector<std::vector<std::string>> rows;
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t end = text.find("\r\n", pos);
    std::string line = text.substr(pos, end - pos);
    std::vector<std::string> fields;
    std::size_t p = 0;
    for (;;) {
      std::size_t comma = line.find(',', p);
      fields.push_back(line.substr(p, comma - p));
      if (comma == std::string::npos) break;
      p = comma + 1;
    }
    rows.push_back(fields);
    pos = end + 2;
  }
  return rows;
}

// Fields up to `exact_until` must match to the letter; later ones may differ in the last of
// their seven digits (a voltage saved with 7 digits comes back as a neighbouring single).
void ExpectSameFile(const std::string& a, const std::string& b, std::size_t exact_until,
                    const char* what) {
  auto ta = Table(a), tb = Table(b);
  ASSERT_EQ(ta.size(), tb.size()) << what;
  for (std::size_t r = 0; r < ta.size(); ++r) {
    ASSERT_EQ(ta[r].size(), tb[r].size()) << what << " line " << r + 1;
    for (std::size_t f = 0; f < ta[r].size(); ++f) {
      if (r == 0 || f < exact_until) {
        ASSERT_EQ(ta[r][f], tb[r][f]) << what << " line " << r + 1 << " field " << f + 1;
      } else {
        const double x = Val(ta[r][f]), y = Val(tb[r][f]);
        ASSERT_LE(std::fabs(x - y), 2e-6 * std::max(1.0, std::fabs(x)))
            << what << " line " << r + 1 << " field " << f + 1 << ": " << ta[r][f] << " vs "
            << tb[r][f];
      }
    }
  }
}

TEST(DataFileRoundTrip, SavedReloadedRecomputedAndSavedAgain) {
  for (std::uint64_t seed : {3u, 11u}) {
    auto first = Simulate(seed, 500);
    ASSERT_GE(first->strokes.StrokeCount, 2) << "seed " << seed;
    const Pair p1 = Texts(*first, "note");
    auto second = Reload(p1, first->cal);
    const Pair p2 = Texts(*second, "note");
    // Name, stamp, condition and onsets (summary fields 1..11) and the raw columns
    // (per-sample fields 1..6) come back exactly.
    ExpectSameFile(p1.dat, p2.dat, 11, "summary");
    ExpectSameFile(p1.csv, p2.csv, 6, "per-sample");
    EXPECT_EQ(second->strokes.StrokeIdx, first->strokes.StrokeIdx);
    // From then on the files are a fixed point: reloading changes nothing, byte for byte.
    auto third = Reload(p2, first->cal);
    const Pair p3 = Texts(*third, "note");
    EXPECT_EQ(p3.dat, p2.dat);
    EXPECT_EQ(p3.csv, p2.csv);
  }
}

TEST(DataFileRoundTrip, NoStrokeRowTakesTheConditionFromTheSampleFile) {
  auto m = Simulate(5, 300, 10);
  m->cond = ReadStrokeConditions("100", "2", JudgeChannel::kAuto);  // starts after the end
  m->Analyse();
  ASSERT_EQ(m->strokes.StrokeCount, 0);
  const Pair p1 = Texts(*m);
  auto loaded = ReadDataTexts(p1.dat, p1.csv, "r_dat.csv", "r_csv.csv");
  ASSERT_TRUE(loaded.ok()) << loaded.problem().Describe();
  EXPECT_EQ(loaded.value()->record.DataNum, 300.0f);
  EXPECT_EQ(loaded.value()->record.SampInterval, 10.0);
  EXPECT_EQ(loaded.value()->record.MeasTime, 3.0);
  ASSERT_EQ(loaded.value()->notices.size(), 1u);
  EXPECT_NE(loaded.value()->notices[0].what.find("per-sample file"), std::string::npos);

  auto again = std::make_unique<SimMeasurement>();
  again->cal = m->cal;
  again->cond = m->cond;
  CommitLoadedData(*loaded.value(), *again->rec, *again->series);
  again->Analyse();
  const Pair p2 = Texts(*again);
  EXPECT_EQ(p2.dat, p1.dat);
  ExpectSameFile(p1.csv, p2.csv, 6, "per-sample");
}

TEST(DataFileReader, BothProgramTagsAndTheOlderLayout) {
  auto m = Simulate(3, 200);
  ASSERT_GE(m->strokes.StrokeCount, 1);
  const Pair p = Texts(*m);
  const std::string row_start = "RUN0000001,12-05-2026,14:30:00,";
  const std::size_t at = p.dat.find(row_start) + row_start.size();
  struct Case {
    std::string tag;
    std::string after_tag;  // what stands between the tag and the condition
    std::size_t notices;
  };
  const Case cases[] = {
      {"Velquor10", "", 0},
      {"Velquor05", "", 0},
      {"OLDPROG", "a,b,c,d,e,f,g,", 1},  // the older layout: seven more fields first
  };
  for (const auto& c : cases) {
    std::string dat = p.dat.substr(0, at) + c.tag + "," + c.after_tag +
                      p.dat.substr(at + std::string("Velquor10,").size());
    auto loaded = ReadDataTexts(dat, p.csv, "r_dat.csv", "r_csv.csv");
    ASSERT_TRUE(loaded.ok()) << c.tag << ": " << loaded.problem().Describe();
    EXPECT_EQ(loaded.value()->record.SampInterval, 20.0) << c.tag;
    EXPECT_EQ(loaded.value()->record.DataNum, 200.0f) << c.tag;
    EXPECT_EQ(loaded.value()->record.MeasTime, 4.0) << c.tag;
    EXPECT_EQ(loaded.value()->notices.size(), c.notices) << c.tag;
    EXPECT_EQ(loaded.value()->record.Encoder(1, 200), m->rec->Encoder(1, 200)) << c.tag;
  }
}

// A small valid pair to break in one place at a time.
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

std::string Replace(std::string text, const std::string& from, const std::string& to) {
  std::size_t at = text.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  if (at != std::string::npos) text.replace(at, from.size(), to);
  return text;
}

TEST(DataFileReader, ReadsEveryColumnOfTheSmallPair) {
  Pair p = SmallPair();
  auto loaded = ReadDataTexts(p.dat, p.csv, "r_dat.csv", "r_csv.csv");
  ASSERT_TRUE(loaded.ok()) << loaded.problem().Describe();
  const LoadedData& d = *loaded.value();
  EXPECT_EQ(d.record.Encoder(0, 3), 10.0f);
  EXPECT_EQ(d.record.Encoder(1, 3), 20.0f);
  EXPECT_EQ(d.record.Volt(0, 3), 0.5f);
  EXPECT_EQ(d.record.Volt(1, 3), -0.5f);
  EXPECT_EQ(d.series.Torque(0, 3), 7.0f);
  EXPECT_EQ(d.series.Distance(kDistanceAv, 3), 13.0f);
  EXPECT_EQ(d.series.Speed(kSpeedAv, 3), 16.0f);
  EXPECT_EQ(d.series.Beta_deg(3), 19.0f);
  EXPECT_EQ(d.series.Alpha_deg(3), 20.0);
  EXPECT_EQ(d.series.x(3), 21.0);
  EXPECT_EQ(d.series.y(3), 22.0f);
}

TEST(DataFileReader, EveryFaultNamesFileLineAndField) {
  struct Case {
    std::string name;
    std::function<void(Pair&)> spoil;
    std::string file;  // "r_dat.csv" or "r_csv.csv"
    int line, field;
    std::string what;  // a piece of the message
  };
  const Case cases[] = {
      {"empty summary", [](Pair& p) { p.dat.clear(); }, "r_dat.csv", 1, 0, "empty"},
      {"summary ends before the tag",
       [](Pair& p) { p.dat = p.dat.substr(0, p.dat.find("Velquor10")); }, "r_dat.csv", 2, 0,
       "ends early"},
      {"summary ends within the condition",
       [](Pair& p) { p.dat = p.dat.substr(0, p.dat.find(" 3, .06")); }, "r_dat.csv", 2, 6,
       "expected the number of samples"},
      {"interval not a number", [](Pair& p) { p.dat = Replace(p.dat, " 20,", "abc,"); },
       "r_dat.csv", 2, 5, "\"abc\""},
      {"data number above 2000", [](Pair& p) { p.dat = Replace(p.dat, " 3, .06", " 2001, .06"); },
       "r_dat.csv", 2, 6, "2001"},
      {"data number below 2", [](Pair& p) { p.dat = Replace(p.dat, " 3, .06", " 1, .06"); },
       "r_dat.csv", 2, 6, "from 2 to 2000"},
      {"data number not whole", [](Pair& p) { p.dat = Replace(p.dat, " 3, .06", " 2.5, .06"); },
       "r_dat.csv", 2, 6, "whole number"},
      {"interval zero", [](Pair& p) { p.dat = Replace(p.dat, " 20,", " 0,"); }, "r_dat.csv", 2, 5,
       "greater than 0"},
      {"measuring time zero", [](Pair& p) { p.dat = Replace(p.dat, " .06, .02", " 0, .02"); },
       "r_dat.csv", 2, 7, "greater than 0"},
      {"sample file ends in its header", [](Pair& p) { p.csv = p.csv.substr(0, 40); }, "r_csv.csv",
       1, 0, "header"},
      {"sample file lacks a row", [](Pair& p) { p.csv = p.csv.substr(0, p.csv.find(" 3, .6")); },
       "r_csv.csv", 5, 1, "sample 3 of 3 is missing"},
      {"sample file ends within a row",
       [](Pair& p) { p.csv = p.csv.substr(0, p.csv.find(", 20", p.csv.find(" 3, .6"))); },
       "r_csv.csv", 5, 4, "sample 3 of 3 lacks its last 19 fields"},
      {"no number in a column", [](Pair& p) { p.csv = Replace(p.csv, " 2, .4, 10", " 2, .4, x"); },
       "r_csv.csv", 4, 3, "Encoder(0) of sample 2"},
      {"a number too large to hold",
       [](Pair& p) { p.csv = Replace(p.csv, " 2, .4, 10, 20, .5", " 2, .4, 10, 20, 1E+999"); },
       "r_csv.csv", 4, 5, "Volt(0) of sample 2"},
      {"an empty column",
       [](Pair& p) { p.csv = Replace(p.csv, " 2, .4, 10, 20, .5", " 2, .4, 10, 20, "); },
       "r_csv.csv", 4, 5, "Volt(0)"},
      {"a short row", [](Pair& p) { p.csv = Replace(p.csv, ", 22\r\n 2,", "\r\n 2,"); },
       "r_csv.csv", 3, 0, "only 21 of its 22 fields"},
      {"a long row", [](Pair& p) { p.csv = Replace(p.csv, ", 22\r\n 2,", ", 22, 23\r\n 2,"); },
       "r_csv.csv", 3, 23, "more"},
  };
  for (const auto& c : cases) {
    Pair p = SmallPair();
    c.spoil(p);
    auto loaded = ReadDataTexts(p.dat, p.csv, "r_dat.csv", "r_csv.csv");
    ASSERT_FALSE(loaded.ok()) << c.name;
    const Problem& pr = loaded.problem();
    EXPECT_EQ(pr.file, c.file) << c.name << ": " << pr.Describe();
    EXPECT_EQ(pr.line, c.line) << c.name << ": " << pr.Describe();
    EXPECT_EQ(pr.field, c.field) << c.name << ": " << pr.Describe();
    EXPECT_NE(pr.what.find(c.what), std::string::npos) << c.name << ": " << pr.Describe();
  }
}

TEST(DataFileReader, SampleFileOfTheSameStem) {
  struct Case {
    std::string dat, csv;  // csv empty: refused
  };
  const Case cases[] = {
      {"C:\\data\\RUN0000012_dat.csv", "C:\\data\\RUN0000012_csv.csv"},
      {"C:\\RUN0000012_dat.csv", "C:\\RUN0000012_csv.csv"},
      {"rundat.csv", "runcsv.csv"},
      {"RUN_DAT.CSV", "RUN_csv.csv"},
      {"ノート_dat.csv", "ノート_csv.csv"},
      {"RUN_csv.csv", ""},  // a per-sample file is not read as a summary
      {"", ""},
  };
  for (const auto& c : cases) {
    auto got = SampleFilePathFor(c.dat);
    EXPECT_EQ(got.ok(), !c.csv.empty()) << c.dat;
    if (got.ok()) {
      EXPECT_EQ(got.value(), c.csv);
    }
  }
}

TEST(LoadDataFiles, ReadsThePairFromDiskOrSaysWhatIsMissing) {
  TempDir dir;
  auto m = Simulate(3, 120);
  FileNaming naming;
  naming.Auto = {dir.path(), "RUN", "1", "", "", ""};
  ASSERT_TRUE(SaveDataFiles(naming, 0, *m->rec, *m->series, m->strokes, kStamp).ok());
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

TEST(CommitLoadedData, CopiesOnlyTheSamplesTheFileHolds) {
  Pair p = SmallPair();
  auto loaded = ReadDataTexts(p.dat, p.csv, "r_dat.csv", "r_csv.csv");
  ASSERT_TRUE(loaded.ok());
  auto rec = std::make_unique<MeasurementRecord>();
  auto series = std::make_unique<DerivedSeries>();
  rec->Volt(0, 4) = 9;  // an earlier, longer measurement
  series->Torque(1, 4) = 9;
  series->Angle_rad(0, 2) = 9;  // not in the file
  rec->PortByte(2, 2) = 9;
  CommitLoadedData(*loaded.value(), *rec, *series);
  EXPECT_EQ(rec->DataNum, 3.0f);
  EXPECT_EQ(rec->SampInterval, 20.0);
  EXPECT_EQ(rec->MeasTime, 0.06);
  EXPECT_EQ(rec->Volt(1, 3), -0.5f);
  EXPECT_EQ(series->y(1), 22.0f);
  EXPECT_EQ(rec->Volt(0, 4), 9.0f);
  EXPECT_EQ(series->Torque(1, 4), 9.0f);
  EXPECT_EQ(series->Angle_rad(0, 2), 9.0f);
  EXPECT_EQ(rec->PortByte(2, 2), 9);
}

}  // namespace
}  // namespace velquor
