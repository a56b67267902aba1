#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

#include "analysis/trial_pushes.h"
#include "files/csv_rows.h"
#include "files/trial_file_text.h"

namespace velquor {
namespace {

// Two samples at 10 ms, channel 0 at 20 Nm/V + 0.5 Nm, channel 1 at 10 Nm/V - 1 Nm.
TrialSeries TwoSamples() {
  Calibration cal;
  cal.Ka1 = {20, 10};
  cal.Ka0 = {0.5, -1};
  TrialSeries t(10, cal, false);
  t.Append({0.1f, 0.5f}, {100, 4090});
  t.Append({0.25f, -0.5f}, {95, 5});  // left forward 5 counts, right +11 across the wrap
  return t;
}

TEST(TrialFileText, RowsHoldTheRawValuesAndTheSeries) {
  const TrialSeries t = TwoSamples();
  EXPECT_EQ(testing::Fields(TrialCsvHeader()).size(), 15u);
  EXPECT_EQ(TrialCsvHeader().back(), '\n');
  std::string first;
  AppendTrialCsvRow(t, 1, 0, first);
  // The volt is the double of the single 0.1; speed, power and marker are empty at sample 1.
  EXPECT_EQ(first, "1,0.01,0.10000000149011612,0.5,100,4090,2.5,4,0,0,,,,,\n");

  std::string second;
  AppendTrialCsvRow(t, 2, 3, second);
  ASSERT_EQ(second.back(), '\n');
  second.pop_back();
  const std::vector<std::string> f = testing::Fields(second);
  ASSERT_EQ(f.size(), 15u);
  const double r = static_cast<double>(0.31f);
  const double turned0 = 0.9 * 3.14159 / 180;   // 5 counts
  const double turned1 = 1.98 * 3.14159 / 180;  // 11 counts
  struct Field {
    std::size_t index;
    double expected;
  };
  const std::vector<Field> numbers = {
      {1, 0.02},
      {6, 5.5},
      {7, -6},
      {8, 0.9},
      {9, 1.98},
      {10, r * turned0 / 0.01},
      {11, r * turned1 / 0.01},
      {12, (2.5 + 5.5) * turned0 / 2 / 0.01},
      {13, (4.0 - 6.0) * turned1 / 2 / 0.01},
  };
  for (const Field& n : numbers) {
    // Shortest round-trip text: reading it back gives the very double.
    EXPECT_EQ(std::stod(f[n.index]), n.expected) << "field " << n.index << ": " << f[n.index];
  }
  EXPECT_EQ(f[4], "95");
  EXPECT_EQ(f[5], "5");
  EXPECT_EQ(f[14], "3");
}

TEST(TrialFileText, JsonDocument) {
  const TrialSeries t = TwoSamples();
  const Result<PushAnalysis> pushes = AnalyseTrial(t, PushParameters{});
  ASSERT_TRUE(pushes.ok());
  TrialFacts facts;
  facts.stem = "RUN0000012";
  facts.started = "2026-12-07T14:03:05+09:00";
  facts.interval_ms = 10;
  facts.samples = 2;
  facts.ka1 = {20, 10};
  facts.ka0 = {0.5, -1};
  facts.cycles = {{"RUN0000012", 1, 1}, {"RUN0000013", 2, 1}};
  facts.markers = {{1, 2, 0.02, "seat \"low\""}};
  facts.who = {"P01", "2", "sprint-a"};
  const std::string json = TrialJsonText(facts, pushes.value(), false);
  const std::vector<std::string> pieces = {
      R"({"trial":"RUN0000012","complete":false,"started":"2026-12-07T14:03:05+09:00",)",
      R"("participant":"P01","session":"2","task":"sprint-a",)",
      R"("interval_ms":10,"samples":2,)",
      R"("calibration":{"ka1":[20,10],"ka0":[0.5,-1],"shift":false},)",
      R"("cycles":[{"stem":"RUN0000012","first_sample":1,"samples":1},)"
      R"({"stem":"RUN0000013","first_sample":2,"samples":1}],)",
      R"("markers":[{"number":1,"sample":2,"t_s":0.02,"label":"seat \"low\""}],)",
      R"("pushes":{"file":"RUN0000012_trial.csv","parameters":{)",
  };
  for (const std::string& p : pieces) EXPECT_NE(json.find(p), std::string::npos) << p;
  EXPECT_EQ(json.substr(json.size() - 3), "}}\n");
  EXPECT_NE(TrialJsonText(facts, pushes.value(), true).find(R"("complete":true)"),
            std::string::npos);
  EXPECT_EQ(TrialPushesCsvText(facts, pushes.value()).substr(0, 15), "file,wheel,push");
  EXPECT_EQ(TrialCsvName("RUN0000012"), "RUN0000012_trial.csv");
  EXPECT_EQ(TrialJsonName("RUN0000012"), "RUN0000012_trial.json");
  EXPECT_EQ(TrialPushesName("RUN0000012"), "RUN0000012_trial_pushes.csv");
}

TEST(TrialFileText, StartedIsLocalTimeWithItsOffset) {
  const char* before = std::getenv("TZ");
  const std::string kept = before ? before : "";
  setenv("TZ", "JST-9", 1);
  tzset();
  EXPECT_EQ(IsoLocalTime(0), "1970-01-01T09:00:00+09:00");
  setenv("TZ", "UTC0", 1);
  tzset();
  EXPECT_EQ(IsoLocalTime(86399), "1970-01-01T23:59:59+00:00");
  if (before) {
    setenv("TZ", kept.c_str(), 1);
  } else {
    unsetenv("TZ");
  }
  tzset();
}

}  // namespace
}  // namespace velquor
