#include "analysis/empty_reasons.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace velquor {
namespace {

TEST(EmptyReasons, ShortRecordsSayWhyTheirResultsAreEmpty) {
  struct Case {
    int pushes, steady, skip_first, skip_last;
    std::optional<std::string> expected;  // none: nothing to say
  };
  const Case cases[] = {
      {1, 0, 1, 0,
       "no steady push: the record holds 1 push, and the first is left out of the "
       "summary"},
      {0, 0, 1, 0, "no steady push: the record holds 0 pushes"},
      {3, 0, 2, 1,
       "no steady push: the record holds 3 pushes, and the first 2 and the last are "
       "left out of the summary"},
      {2, 0, 0, 2,
       "no steady push: the record holds 2 pushes, and the last 2 are left out of the "
       "summary"},
      {2, 1, 1, 0, std::nullopt},
  };
  for (const Case& c : cases) {
    PushSummary s;
    s.pushes = c.pushes;
    s.steady = c.steady;
    PushParameters p;
    p.skip_first = c.skip_first;
    p.skip_last = c.skip_last;
    EXPECT_EQ(NoSteadyPushReason(s, p), c.expected) << c.pushes << " pushes";
  }

  MeasurementRecord rec;
  rec.SampInterval = 1;
  rec.DataNum = 2000;
  StrokeResults r;
  r.StrokeCount = 1;
  EXPECT_EQ(FewStrokesReason(rec, StrokeConditions{}, r).value_or(""),
            "1 of 3 strokes: the stroke window starts at 1 s and the record ends at 2 s; a stroke "
            "begins where the torque rises above 2 Nm after a fall below it");
  r.StrokeCount = 3;
  EXPECT_FALSE(FewStrokesReason(rec, StrokeConditions{}, r));
}

}  // namespace
}  // namespace velquor
