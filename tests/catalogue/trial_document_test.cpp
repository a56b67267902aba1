#include "catalogue/trial_document.h"

#include <gtest/gtest.h>

#include <functional>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "catalogue/study_trials.h"
#include "files/temp_dir.h"
#include "files/trial_file_text.h"

namespace velquor {
namespace {

using nlohmann::json;

TEST(CatalogueTrial, ReadsBackWhatWasWritten) {
  testing::TempDir dir;
  const testing::SavedTrial t =
      testing::SaveTrial(dir.path(), "RUN0000001", 2, {"P01", "2", "sprint-a"}, 1.0, 6);
  const Result<CatalogueTrial> d = LoadCatalogueTrial(dir / "RUN0000001_trial.json");
  ASSERT_TRUE(d.ok()) << d.problem().Describe();
  EXPECT_TRUE(d.value().complete);
  // Every fact as written: labels, samples, both cycles and the marker with its label and time.
  EXPECT_EQ(TrialJsonText(d.value().facts, t.pushes, true), TrialJsonText(t.facts, t.pushes, true));
  for (int w = 0; w < 2; ++w) {
    const PushSummary& want = t.pushes.wheels.at(w).summary;
    const PushSummary& got = d.value().summaries.at(w);
    EXPECT_EQ(got.steady, want.steady);
    EXPECT_EQ(got.push_frequency_per_min, want.push_frequency_per_min);
    for (int k = 0; k < kPushFigureCount; ++k) {
      EXPECT_EQ(got.figures.at(k).mean, want.figures.at(k).mean) << kPushFigureNames.at(k);
      EXPECT_EQ(got.figures.at(k).cv_pct, want.figures.at(k).cv_pct) << kPushFigureNames.at(k);
    }
  }
}

TEST(CatalogueTrial, EveryFaultNamesTheFileAndTheField) {
  testing::TempDir dir;
  const testing::SavedTrial t =
      testing::SaveTrial(dir.path(), "RUN0000001", 2, {"P01", "2", "steady"}, 1.0, 4);
  const json good = json::parse(TrialJsonText(t.facts, t.pushes, false));
  struct Case {
    const char* name;
    std::function<void(json&)> change;
    const char* message;  // empty: the document reads
  };
  const std::vector<Case> cases = {
      {"older, without labels",
       [](json& j) {
         j.erase("participant");
         j.erase("session");
         j.erase("task");
       },
       ""},
      {"samples as text", [](json& j) { j["samples"] = "many"; },
       "field \"samples\": expected a whole number"},
      {"no interval", [](json& j) { j.erase("interval_ms"); }, "field \"interval_ms\": missing"},
      {"a label with a space", [](json& j) { j["participant"] = "P 01"; },
       "field \"participant\": participant \"P 01\" may hold only letters"},
      {"one coefficient", [](json& j) { j["calibration"]["ka1"] = json::array({20}); },
       "field \"calibration.ka1\""},
      {"steady as text", [](json& j) { j["pushes"]["wheels"][1]["summary"]["steady"] = "4"; },
       "field \"pushes.wheels[1].summary.steady\": expected a whole number"},
      {"a mean as text",
       [](json& j) { j["pushes"]["wheels"][0]["summary"]["figures"]["smoothness"]["mean"] = "x"; },
       "field \"pushes.wheels[0].summary.figures.smoothness.mean\": expected a number or null"},
      {"a marker without sample", [](json& j) { j["markers"][0].erase("sample"); },
       "field \"markers[0].sample\": missing"},
      {"one wheel", [](json& j) { j["pushes"]["wheels"].erase(1); },
       "field \"pushes.wheels\": expected the two wheels"},
  };
  for (const Case& c : cases) {
    json doc = good;
    c.change(doc);
    const Result<CatalogueTrial> d = ReadCatalogueTrial(doc.dump(), "X_trial.json");
    if (std::string(c.message).empty()) {
      ASSERT_TRUE(d.ok()) << c.name << ": " << d.problem().Describe();
      EXPECT_EQ(d.value().facts.who.participant, "") << c.name;
      continue;
    }
    ASSERT_FALSE(d.ok()) << c.name;
    EXPECT_EQ(d.problem().file, "X_trial.json");
    EXPECT_NE(d.problem().what.find(c.message), std::string::npos)
        << c.name << ": " << d.problem().what;
  }
  const Result<CatalogueTrial> cut = ReadCatalogueTrial(good.dump().substr(0, 100), "X_trial.json");
  ASSERT_FALSE(cut.ok());
  EXPECT_EQ(cut.problem().what, "not a JSON document");
}

}  // namespace
}  // namespace velquor
