#include <gtest/gtest.h>

#include <string>

#include "files/data_file_reader.h"
#include "files/data_file_text.h"
#include "files/sim_measurement.h"

namespace velquor {
namespace {

struct Pair {
  std::string dat, csv;
};

Result<LoadedDataPtr> Read(const Pair& p) {
  return ReadDataTexts(p.dat, p.csv, "r_dat.csv", "r_csv.csv");
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
    csv += " " + std::to_string(i) + ", .0" + std::to_string(2 * i) + ", 10, 20, .5,-.5";
    for (int k = 7; k <= 22; ++k) csv += ", " + std::to_string(k);
    csv += "\r\n";
  }
  return {dat, csv};
}

// The older layout has seven more fields before the condition, and is read with a notice.
TEST(DataFileReader, TheOlderLayout) {
  Pair p = SmallPair();
  p.dat.replace(p.dat.find("Velquor10,"), 10, "OLDPROG,a,b,c,d,e,f,g,");
  auto loaded = Read(p);
  ASSERT_TRUE(loaded.ok()) << loaded.problem().Describe();
  EXPECT_EQ(loaded.value()->record.SampInterval, 20.0);
  EXPECT_EQ(loaded.value()->record.DataNum, 3.0f);
  EXPECT_EQ(loaded.value()->notices.size(), 1u);
}

// Without a stroke row the rows are counted: one beyond the record is refused, not stored.
TEST(DataFileReader, NeverReadsPastTheLastSample) {
  Pair p = SmallPair();
  p.dat = std::string(SummaryHeader()) + "\r\n";
  const std::string row = p.csv.substr(p.csv.rfind(" 3, .06"));
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
      {false, " 20,", " 0,", false, 2, 5, "from 0.001 msec to one hour"},
      // Numbers that read, but that no measurement can hold.
      {false, " 20,", " 1E+308,", false, 2, 5, "from 0.001 msec to one hour"},
      {false, " 3, .06", " 3, 1E+300", false, 2, 7, "measuring time"},
      {true, " 2, .04, 10, 20, .5", " 2, .04, 10, 20, 1E+39", false, 4, 5, "single-precision"},
      {true, " 2, .04, 10, 20", " 2, .04, 10, 4096", false, 4, 4, "Encoder(1)"},
      {true, " 2, .04, 10", " 2, .04, 1.5", false, 4, 3, "whole encoder count"},
      {true, "Volt(0)", "", true, 1, 0, "header"},
      {true, " 3, .06", "", true, 5, 1, "sample 3 of 3 is missing"},
      {true, " 3, .06, 10", " 3, .06, 10", true, 5, 4, "sample 3 of 3 lacks its last 19 fields"},
      // A number too large to hold.
      {true, " 2, .04, 10, 20, .5", " 2, .04, 10, 20, 1E+999", false, 4, 5, "Volt(0) of sample 2"},
      {true, " 2, .04, 10, 20, .5,-.5, 7", " 2, .04, 10, 20, .5,-.5, -1E+39", false, 4, 7,
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

// A pair as this program writes it contradicts itself nowhere, at any interval.
TEST(DataFileReader, AWrittenPairLoadsWithoutNotices) {
  for (double interval : {20.0, 7.3, 3.0}) {
    auto m = testing::Simulate(5, 2000, interval);
    ASSERT_GT(m->strokes.StrokeCount, 0) << interval;
    // A blank line after the rows, as an editor may leave, is no row cut short.
    const std::string dat = SummaryFileText("R", "a note", *m->rec, m->strokes, {}) + "\r\n";
    auto loaded = Read({dat, SampleFileText(*m->rec, *m->series)});
    ASSERT_TRUE(loaded.ok()) << loaded.problem().Describe();
    for (const Problem& n : loaded.value()->notices)
      ADD_FAILURE() << interval << ": " << n.Describe();
  }
}

// A pair that contradicts itself still loads as the reading rule reads it, with one notice
// naming the file, line and field and the other place.
TEST(DataFileReader, ContradictionsAreNamed) {
  struct Case {
    const char* name;
    bool in_csv;
    std::string from, to;
    std::string file;
    int line, field;
    std::string what;     // a piece of the notice
    bool append = false;  // the two rows beyond the count are added to the per-sample file
  };
  std::string two_more;  // rows 4 and 5, beyond the 3 samples the summary counts
  for (const char* head : {" 4, .08", " 5, .1"}) {
    two_more += std::string(head) + ", 10, 20, .5,-.5";
    for (int k = 7; k <= 22; ++k) two_more += ", " + std::to_string(k);
    two_more += "\r\n";
  }
  const Case cases[] = {
      {"extra rows", true, "", "", "r_dat.csv", 2, 6, "holds 2 more sample rows from line 6", true},
      {"interval against the time step", false, " 20, 3, .06", " 10, 3, .03", "r_csv.csv", 3, 2,
       "a step of 20 msec"},
      {"measuring time", false, " 3, .06", " 3, 999", "r_dat.csv", 2, 7, "make 0.06 sec"},
      {"stroke row cut short", false, std::string(32, ',') + "\r\n", std::string(5, ',') + "\r\n",
       "r_dat.csv", 2, 17, "ends after field 17 of its 44"},
      {"text after a number", true, " 2, .04, 10, 20, .5", " 2, .04, 10, 20, .5abc", "r_csv.csv", 4,
       5, "\".5abc\" holds more than a number; it was read as 0.5"},
      {"hex form", true, " 2, .04, 10", " 2, .04, 0x1F", "r_csv.csv", 4, 3, "read as 0,"},
      {"a NUL", true, " 2, .04, 10, 20", std::string(" 2, .04, 10, 2\0 0", 17), "r_csv.csv", 4, 4,
       "\"2\\x00 0\" holds more than a number; it was read as 2,"},
      {"once per file", true, " 2, .04, 10, 20, .5,-.5", " 2, .04, 10, 20, .5x,-.5y", "r_csv.csv",
       4, 5, "(1 more such fields"},
      {"in the summary", false, " 20,", " 20ms,", "r_dat.csv", 2, 5, "read as 20,"},
  };
  for (const auto& c : cases) {
    Pair p = SmallPair();
    std::string& text = c.in_csv ? p.csv : p.dat;
    const std::size_t at = text.find(c.from);
    ASSERT_NE(at, std::string::npos) << c.name;
    text.replace(at, c.from.size(), c.to);
    if (c.append) p.csv += two_more;
    auto loaded = Read(p);
    ASSERT_TRUE(loaded.ok()) << c.name << ": " << loaded.problem().Describe();
    EXPECT_EQ(loaded.value()->record.DataNum, 3.0f) << c.name;
    const auto& notices = loaded.value()->notices;
    if (notices.size() != 1u) {
      ADD_FAILURE() << c.name << ": " << notices.size() << " notices"
                    << (notices.empty() ? "" : ", the last: " + notices.back().Describe());
      continue;
    }
    const Problem& n = notices[0];
    EXPECT_EQ(std::make_tuple(n.file, n.line, n.field), std::make_tuple(c.file, c.line, c.field))
        << c.name << ": " << n.Describe();
    EXPECT_NE(n.what.find(c.what), std::string::npos) << c.name << ": " << n.Describe();
  }
}

}  // namespace
}  // namespace velquor
