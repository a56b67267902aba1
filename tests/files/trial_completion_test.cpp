#include "files/trial_completion.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "analysis/push_forms.h"
#include "analysis/sim_trial.h"
#include "analysis/trial_pushes.h"
#include "common/text_file.h"
#include "files/pair_files.h"
#include "files/temp_dir.h"
#include "files/trial_file_text.h"

namespace velquor {
namespace {

// A trial as a run that was killed leaves it: rows up to the kill, the last one cut short,
// and the document of the last checkpoint, still incomplete.
struct KilledTrial {
  testing::TempDir dir;
  TrialSeries taken{5, sim::RigCalibration(), false};
  TrialFacts facts;
  std::string csv, json;

  explicit KilledTrial(std::int64_t samples) {
    sim::RigTrial rig(4, 5);
    rig.AppendTo(taken, samples);
    facts.stem = "RUN0000031";
    facts.started = "2026-12-07T14:03:05+09:00";
    facts.who = {"P-01", "s1", "steady"};  // kept through the completion
    facts.interval_ms = 5;
    facts.samples = samples / 2;  // the last checkpoint
    facts.ka1 = sim::RigCalibration().Ka1;
    facts.ka0 = sim::RigCalibration().Ka0;
    facts.cycles = {{"RUN0000031", 1, 2000}, {"RUN0000032", 2001, 2000}};
    facts.markers = {{1, 100, 0.5, "seat adjusted"}};
    facts.feedback_json = R"({"schedule":"faded","given":[{"push":3,"tone":1}]})";
    std::string rows = TrialCsvHeader();
    for (std::int64_t i = 1; i <= samples; ++i) {
      AppendTrialCsvRow(taken, i, i == 100 ? 1 : (i == samples - 10 ? 2 : 0), rows);
    }
    rows += "4001,20.005,0.1";  // the row being written when the program was killed
    csv = dir / "RUN0000031_trial.csv";
    json = dir / "RUN0000031_trial.json";
    EXPECT_TRUE(WriteFileAtomic(csv, rows).ok());
    const PushAnalysis so_far = AnalyseTrial(taken, {}).value();
    EXPECT_TRUE(WriteFileAtomic(json, TrialJsonText(facts, so_far, false)).ok());
  }
};

TEST(TrialCompletion, ATrialKilledMidRunIsCompletedAtTheNextStart) {
  KilledTrial k(4000);
  const std::vector<Problem> said = RecoverSaveDirectory(k.dir.path());
  ASSERT_EQ(said.size(), 1U);
  EXPECT_EQ(said[0].file, k.json);
  EXPECT_NE(said[0].what.find("completed from RUN0000031_trial.csv: 4000 samples (20 s)"),
            std::string::npos)
      << said[0].what;
  EXPECT_NE(said[0].what.find("line 4002"), std::string::npos) << "the cut row is told";

  // The document is the whole trial's, complete, with both markers and the first's label.
  const std::string json = ReadFileBytes(k.json).value();
  TrialFacts expected = k.facts;
  expected.samples = 4000;
  expected.markers.push_back({2, 3990, 3990 * 5.0 / 1000, ""});
  const PushAnalysis whole = AnalyseTrial(k.taken, {}).value();
  EXPECT_EQ(json, TrialJsonText(expected, whole, true));
  const auto table = ReadFileBytes(k.dir / "RUN0000031_trial_pushes.csv");
  ASSERT_TRUE(table.ok());
  EXPECT_EQ(table.value(), TrialPushesCsvText(expected, whole));

  // A second start finds nothing left to do, and the per-sample file was never touched.
  EXPECT_TRUE(RecoverSaveDirectory(k.dir.path()).empty());
}

TEST(TrialCompletion, ATrialThatCannotBeCompletedIsToldAndLeft) {
  struct Case {
    const char* name;
    std::string json;  // the document's text; empty: as written
    bool remove_csv;
    const char* piece;
  };
  const std::vector<Case> cases = {
      {"not JSON", "{\"trial\": \"RUN0000031\", \"complete\": fals}", false, "line 1, field 41"},
      {"no interval", "{\"complete\": false, \"calibration\": {}}", false, "interval_ms"},
      {"a number past any double", "{\"complete\": false, \"interval_ms\": 15E438259396853178}",
       false, "not a trial's JSON document"},
      {"no calibration", "{\"complete\": false, \"interval_ms\": 5}", false, "ka1 and ka0"},
      {"no per-sample file", "", true, "cannot be completed"},
      {"another interval",
       "{\"complete\": false, \"interval_ms\": 2, \"calibration\": {\"ka1\": [1, 1], \"ka0\": "
       "[0, 0]}}",
       false, "at 5 ms, its document says 2 ms"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    KilledTrial k(1000);
    if (!c.json.empty()) {
      ASSERT_TRUE(WriteFileAtomic(k.json, c.json).ok());
    }
    if (c.remove_csv) std::filesystem::remove(k.csv);
    const std::string before = ReadFileBytes(k.json).value();
    const std::vector<Problem> said = CompleteLeftTrials(k.dir.path());
    ASSERT_EQ(said.size(), 1U);
    EXPECT_NE(said[0].Describe().find(c.piece), std::string::npos) << said[0].Describe();
    EXPECT_EQ(ReadFileBytes(k.json).value(), before);
    EXPECT_FALSE(std::filesystem::exists(k.dir / "RUN0000031_trial_pushes.csv"));
  }
}

}  // namespace
}  // namespace velquor
