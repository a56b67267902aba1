// The analysis chain stops at the first step that fails and says which, so that a screen can
// tell a record that cannot be analysed from pushes that cannot be found.
#include "analysis/analyse_record.h"

#include <gtest/gtest.h>

#include <optional>

#include "hand_record.h"

namespace velquor {
namespace {

TEST(AnalyseRecord, StopsAtTheFirstFailingStepAndSaysWhich) {
  PushParameters bad;
  bad.min_push = -1;
  struct Case {
    const char* name;
    int samples;
    std::optional<PushParameters> pushes;
    std::optional<AnalysisStep> stop;
  };
  const Case cases[] = {
      {"refused record", 1, PushParameters{}, AnalysisStep::kKinematics},
      {"refused push parameters", 100, bad, AnalysisStep::kPushes},
      {"pushes left out", 100, std::nullopt, std::nullopt},
      {"every step", 100, PushParameters{}, std::nullopt},
  };
  for (const Case& c : cases) {
    hand::Bench b(c.samples);
    b.Counts(1, 0, {10});
    StrokeResults strokes;
    RecordAnalysis out{*b.s, b.kin, strokes};
    const auto stop =
        AnalyseRecord(*b.rec, Calibration{}, {false, StrokeConditions{}, c.pushes}, out);
    EXPECT_EQ(stop ? std::optional(stop->step) : std::nullopt, c.stop) << c.name;
    EXPECT_EQ(out.pushes.has_value(), !c.stop && c.pushes) << c.name;
  }
}

}  // namespace
}  // namespace velquor
