#include "files/trial_file_reader.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "analysis/sim_trial.h"
#include "analysis/trial_pushes.h"
#include "files/temp_dir.h"
#include "files/trial_csv_text.h"

namespace velquor {
namespace {

Result<LoadedTrial> Read(const std::string& text, const Calibration& cal = sim::RigCalibration(),
                         bool shift = false) {
  std::istringstream in(text);
  return ReadTrialCsv(in, "t_trial.csv", cal, shift);
}

// Three samples at 5 ms with a marker at sample 2, to break in one place at a time.
std::string SmallTrial() {
  return testing::TrialHeader() +
         "1,0.005,0.5,-0.25,10,4095,5,-2.5,0,0,,,,,\n"
         "2,0.01,1.5,0.25,12,0,15,2.5,-0.36,0.18,-0.1,0.2,-1,0.5,1\n"
         "3,0.015,2,0,4095,1,20,0,0.9,0.36,2,0.1,3,0,\n";
}

std::string Replace(std::string text, const std::string& from, const std::string& to) {
  const std::size_t at = text.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  return text.replace(at, from.size(), to);
}

TEST(TrialFileReader, ReadsTheRawColumnsAndComputesTheSeriesAgain) {
  Calibration cal = sim::RigCalibration();
  cal.Ka1 = {2, 4};
  cal.Ka0 = {1, -1};
  // The derived columns of the file are not read: every one here is out of step on purpose.
  const std::string text =
      Replace(SmallTrial(), "2,0.01,1.5,0.25,12,0,15", "2,0.01,1.5,0.25,12,0,99");
  auto r = Read(text, cal);
  ASSERT_TRUE(r.ok()) << r.problem().Describe();
  const TrialSeries& s = *r.value().series;
  ASSERT_EQ(s.Samples(), 3);
  EXPECT_EQ(s.IntervalMs(), 5.0);
  EXPECT_EQ(s.Volt(1, 1), -0.25F);
  EXPECT_EQ(s.Encoder(1, 1), 4095);
  EXPECT_EQ(s.Torque(0, 2), static_cast<double>(CalibratedTorque(cal, false, 0, 1.5F)));
  EXPECT_EQ(s.Torque(1, 1), static_cast<double>(CalibratedTorque(cal, false, 1, -0.25F)));
  // 4095 -> 0 is a step of 1 across the wrap; the left encoder counts backwards.
  EXPECT_EQ(s.Count(1, 2), 1);
  EXPECT_EQ(s.Count(0, 2), -2);
  EXPECT_EQ(s.Count(0, 3), 11);  // 12 -> 4095 is a step of -13 across the wrap
  ASSERT_EQ(r.value().markers.size(), 1U);
  EXPECT_EQ(r.value().markers[0].number, 1);
  EXPECT_EQ(r.value().markers[0].sample, 2);
  EXPECT_TRUE(r.value().notices.empty());

  auto shifted = Read(text, cal, true);
  ASSERT_TRUE(shifted.ok());
  EXPECT_EQ(shifted.value().series->Torque(0, 2),
            static_cast<double>(CalibratedTorque(cal, true, 0, 1.5F)));
}

TEST(TrialFileReader, EveryFaultNamesItsLineAndField) {
  struct Case {
    const char* name;
    std::string text;
    int line, field;
    const char* piece;
  };
  const std::string ok = SmallTrial();
  const std::vector<Case> cases = {
      {"empty", "", 1, 1, "the header"},
      {"another header", Replace(ok, "power1_W,marker", "power1_W"), 1, 1, "the header"},
      {"a pair's per-sample file", "i, Time(i),Encoder(0)\r\n", 1, 1, "the header"},
      {"header alone", testing::TrialHeader(), 2, 1, "no sample"},
      {"a field short", Replace(ok, "0.9,0.36,2,0.1,3,0,\n", "0.9,0.36,2,0.1,3,0\n"), 4, 1,
       "15 fields, this one 14"},
      {"a field over", Replace(ok, ",0.5,1\n", ",0.5,1,\n"), 3, 1, "this one 16"},
      {"a sample left out", Replace(ok, "2,0.01,", "3,0.01,"), 3, 1, "sample 2 was expected"},
      {"numbering from 0", Replace(ok, "1,0.005,", "0,0.005,"), 2, 1, "sample 1 was expected"},
      {"not a time", Replace(ok, "0.01,", "soon,"), 3, 2, "t_s must be a number"},
      {"time out of step", Replace(ok, "0.015,", "0.02,"), 4, 2, "number times the interval"},
      {"no interval", Replace(ok, "1,0.005,", "1,0,"), 2, 2, "greater than 0"},
      {"volts not a number", Replace(ok, "1.5,0.25", "1.5,x"), 3, 4, "volts must be"},
      {"volts beyond a single", Replace(ok, "1.5,0.25", "1e39,0.25"), 3, 3, "volts must be"},
      {"volts not finite", Replace(ok, "1.5,0.25", "nan,0.25"), 3, 3, "volts must be"},
      {"count beyond 12 bits", Replace(ok, ",12,0,", ",4096,0,"), 3, 5, "0..4095"},
      {"count negative", Replace(ok, ",12,0,", ",12,-1,"), 3, 6, "0..4095"},
      {"count not whole", Replace(ok, ",12,0,", ",12.5,0,"), 3, 5, "0..4095"},
      {"marker not a number", Replace(ok, ",0.5,1\n", ",0.5,one\n"), 3, 15, "marker must be"},
      {"marker going back", Replace(ok, ",3,0,\n", ",3,0,1\n"), 4, 15, "above 1"},
      {"marker 0", Replace(ok, ",0.5,1\n", ",0.5,0\n"), 3, 15, "above 0"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto r = Read(c.text);
    ASSERT_FALSE(r.ok());
    EXPECT_EQ(r.problem().file, "t_trial.csv");
    EXPECT_EQ(r.problem().line, c.line);
    EXPECT_EQ(r.problem().field, c.field);
    EXPECT_NE(r.problem().what.find(c.piece), std::string::npos) << r.problem().what;
  }
}

// A trial cut by a crash ends in part of a row: the rows before it are the trial.
TEST(TrialFileReader, ARowCutShortIsLeftOutWithANotice) {
  std::string text = SmallTrial();
  text.resize(text.size() - 8);  // "3,0.015,2,0,4095,1,20,0,0.9,0.3"
  auto r = Read(text);
  ASSERT_TRUE(r.ok()) << r.problem().Describe();
  EXPECT_EQ(r.value().series->Samples(), 2);
  ASSERT_EQ(r.value().notices.size(), 1U);
  EXPECT_EQ(r.value().notices[0].line, 4);
  EXPECT_NE(r.value().notices[0].what.find("left out"), std::string::npos);
  // Lines ending in CR LF are read as well.
  std::string crlf;
  for (const char c : SmallTrial()) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
  auto both = Read(crlf);
  ASSERT_TRUE(both.ok()) << both.problem().Describe();
  EXPECT_EQ(both.value().series->Samples(), 3);
}

// The trial read back is the trial taken, sample by sample and push by push.
TEST(TrialFileReader, ATrialReadBackIsTheTrialTaken) {
  for (const double interval : {1.0, 5.0, 20.0, 0.3}) {
    SCOPED_TRACE(interval);
    sim::RigTrial rig(7, interval);
    TrialSeries taken(interval, sim::RigCalibration(), false);
    const auto n = static_cast<std::int64_t>(12000 / interval) + 5;
    rig.AppendTo(taken, n);
    testing::TempDir dir;
    const std::string path = dir / "RUN0000003_trial.csv";
    {
      std::ofstream f(path, std::ios::binary);
      f << testing::TrialText(taken, {{1, 1}, {n / 2, 2}, {n, 3}});
    }
    auto r = LoadTrialCsv(path, sim::RigCalibration(), false);
    ASSERT_TRUE(r.ok()) << r.problem().Describe();
    const TrialSeries& back = *r.value().series;
    ASSERT_EQ(back.Samples(), n);
    EXPECT_EQ(back.IntervalMs(), interval);
    for (std::int64_t i = 1; i <= n; ++i) {
      for (int w = 0; w < 2; ++w) {
        ASSERT_EQ(back.Volt(w, i), taken.Volt(w, i)) << i;
        ASSERT_EQ(back.Encoder(w, i), taken.Encoder(w, i)) << i;
        ASSERT_EQ(back.Torque(w, i), taken.Torque(w, i)) << i;
        ASSERT_EQ(back.AngleDeg(w, i), taken.AngleDeg(w, i)) << i;
      }
    }
    ASSERT_EQ(r.value().markers.size(), 3U);
    EXPECT_EQ(r.value().markers[1].sample, n / 2);
    EXPECT_EQ(r.value().markers[2].number, 3);
    const PushAnalysis a = AnalyseTrial(taken, {}).value();
    const PushAnalysis b = AnalyseTrial(back, {}).value();
    for (std::size_t w = 0; w < 2; ++w) {
      ASSERT_GT(a.wheels[w].pushes.size(), 3U);
      ASSERT_EQ(a.wheels[w].pushes.size(), b.wheels[w].pushes.size());
      // Figure by figure, bit for bit (an optional's padding holds whatever it holds).
      for (std::size_t k = 0; k < a.wheels[w].pushes.size(); ++k) {
        for (std::size_t f = 0; f < a.wheels[w].pushes[k].figures.size(); ++f) {
          const std::optional<double>& x = a.wheels[w].pushes[k].figures[f];
          const std::optional<double>& y = b.wheels[w].pushes[k].figures[f];
          ASSERT_EQ(x.has_value(), y.has_value()) << k << " " << f;
          if (x) {
            EXPECT_EQ(std::memcmp(&*x, &*y, sizeof(double)), 0) << k << " " << f;
          }
        }
      }
    }
  }
  // What is not a regular file is not opened.
  testing::TempDir dir;
  EXPECT_NE(LoadTrialCsv(dir.path(), sim::RigCalibration(), false)
                .problem()
                .what.find("not a regular file"),
            std::string::npos);
  EXPECT_NE(LoadTrialCsv(dir / "none_trial.csv", sim::RigCalibration(), false)
                .problem()
                .what.find("does not exist"),
            std::string::npos);
  EXPECT_TRUE(IsTrialCsvPath("d\\RUN0000012_trial.csv"));
  EXPECT_FALSE(IsTrialCsvPath("RUN0000012_csv.csv"));
}

}  // namespace
}  // namespace velquor
