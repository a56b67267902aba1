#include <gtest/gtest.h>

#include "record/condition.h"

namespace velquor {
namespace {

TEST(Condition, CheckNamesTheValueThatIsWrong) {
  struct Case {
    double interval, num, time;
    bool ok;
    ConditionField field;
  };
  const Case cases[] = {
      {20, 100, 2, true, {}},
      {0, 100, 2, false, ConditionField::kTimerInterval},
      {0.4, 100, 0.04, false, ConditionField::kTimerInterval},  // rounds to 0 ms
      {20, 100, 0, false, ConditionField::kSamplingTime},
  };
  for (const auto& c : cases) {
    auto p = CheckCondition(c.interval, c.num, c.time);
    EXPECT_EQ(!p.has_value(), c.ok) << c.interval << " " << c.num << " " << c.time;
    if (p) {
      EXPECT_EQ(p->field, c.field);
      EXPECT_FALSE(p->message.empty());
    }
  }
}

}  // namespace
}  // namespace velquor
