#include <gtest/gtest.h>

#include "measure/condition.h"

namespace velquor {
namespace {

TEST(Condition, ReadConditionUsesTheLeadingNumberRule) {
  MeasurementRecord rec;
  ReadCondition(rec, "20", "100", "2");
  EXPECT_EQ(rec.SampInterval, 20.0);
  EXPECT_EQ(rec.DataNum, 100.0f);
  EXPECT_EQ(rec.MeasTime, 2.0);
  ReadCondition(rec, "", "abc", "1.5 s");
  EXPECT_EQ(rec.SampInterval, 0.0);
  EXPECT_EQ(rec.DataNum, 0.0f);
  EXPECT_EQ(rec.MeasTime, 1.5);
}

TEST(Condition, CheckNamesTheValueThatIsWrong) {
  struct Case {
    double interval, num, time;
    bool ok;
    ConditionField field;
  };
  const Case cases[] = {
      {20, 100, 2, true, {}},
      {1, 2, 0.002, true, {}},
      {20, 2000, 40, true, {}},
      {20, 1, 0.02, false, ConditionField::kDataNumber},
      {20, 2001, 40.02, false, ConditionField::kDataNumber},
      {20, 2.5, 0.05, false, ConditionField::kDataNumber},
      {0, 100, 2, false, ConditionField::kTimerInterval},
      {-5, 100, 2, false, ConditionField::kTimerInterval},
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
  auto p = CheckCondition(20, 2500, 50);
  ASSERT_TRUE(p);
  EXPECT_NE(p->message.find("2500"), std::string::npos) << p->message;
  EXPECT_NE(p->message.find("2000"), std::string::npos) << p->message;
}

}  // namespace
}  // namespace velquor
