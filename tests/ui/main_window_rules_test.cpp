// The condition-box rules, the F1 cycle and the F2/F3 ladder, without any window.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "measure/main_window_rules.h"

namespace velquor {
namespace {

struct LadderCase {
  float from;
  std::optional<int> up;
  std::optional<int> down;
};

TEST(DataNumLadder, StepsUpAndDownFromEveryRegion) {
  const LadderCase cases[] = {
      {3, std::nullopt, std::nullopt},
      {5, 10, std::nullopt},
      {6, 10, 5},
      {100, 200, 50},
      {150, 200, 100},
      {1200, 1600, 800},
      {1599, 1600, 1200},
      {1600, 2000, 1200},
      {1601, 2000, 1600},
      {2000, 2000, 1600},
      {2500, 2000, 1600},
      {0, std::nullopt, std::nullopt},
      {-10, std::nullopt, std::nullopt},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(DataNumUp(c.from), c.up) << "F3 from " << c.from;
    EXPECT_EQ(DataNumDown(c.from), c.down) << "F2 from " << c.from;
  }
}

TEST(SaveModeCycle, FollowsTheModeNotTheBoxes) {
  struct Case {
    int mode;
    std::optional<SaveModeStep> step;
  };
  const Case cases[] = {
      {0, SaveModeStep{false, true, 1}},
      {1, SaveModeStep{true, false, 2}},
      {2, SaveModeStep{true, true, 3}},
      {3, SaveModeStep{false, false, 0}},
      {4, std::nullopt},
      {-1, std::nullopt},
  };
  for (const auto& c : cases) {
    auto got = NextSaveMode(c.mode);
    ASSERT_EQ(got.has_value(), c.step.has_value()) << c.mode;
    if (!got) continue;
    EXPECT_EQ(got->autoSave, c.step->autoSave) << c.mode;
    EXPECT_EQ(got->manSave, c.step->manSave) << c.mode;
    EXPECT_EQ(got->newMode, c.step->newMode) << c.mode;
  }
  // Four presses come back to where they started.
  int mode = 0;
  for (int i = 0; i < 4; ++i) mode = NextSaveMode(mode)->newMode;
  EXPECT_EQ(mode, 0);
}

TEST(ConditionRules, SamplingTimeFromIntervalAndCount) {
  struct Case {
    const char* interval;
    const char* count;
    std::optional<std::string> time;
  };
  const Case cases[] = {
      {"20", "100", "2"},    {"20", "125", "2.5"},   {"33", "20", "0.66"},
      {"", "100", "0"},      {"20", "", "0"},        {"1", "2000", "2"},
      {"20abc", "100", "2"}, {"0.5", "3", "0.0015"}, {"1e308", "1e308", std::nullopt},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(SampTimeText(c.interval, c.count), c.time) << c.interval << " x " << c.count;
  }
}

TEST(ConditionRules, DataNumberFromSamplingTime) {
  struct Case {
    const char* time;
    const char* interval;
    std::optional<std::string> count;
  };
  const Case cases[] = {
      {"2.5", "20", "125"},
      {"2", "20", "100"},
      {" 2 ", "20", "100"},
      {"2.55", "20", "127.5"},
      {"0", "20", "0"},
      {"2", "0", std::nullopt},  // no division by a zero interval
      {"2", "", std::nullopt},   // an empty interval counts 0
      {"", "20", std::nullopt},  // the time must be a complete number
      {"2.5s", "20", std::nullopt},
      {"abc", "20", std::nullopt},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(DataNumText(c.time, c.interval), c.count) << c.time << " / " << c.interval;
  }
}

TEST(ConditionRules, NamesTheBoxThatStopsAMeasurement) {
  struct Case {
    const char* interval;
    const char* count;
    const char* time;
    std::optional<ConditionField> field;
    const char* mentions;
  };
  const Case cases[] = {
      {"20", "100", "2", std::nullopt, ""},
      {"1", "2000", "2", std::nullopt, ""},
      {"20", "2001", "40.02", ConditionField::kDataNumber, "2 to 2000"},
      {"20", "1", "0.02", ConditionField::kDataNumber, "2 to 2000"},
      {"20", "127.5", "2.55", ConditionField::kDataNumber, "whole number"},
      {"20", "", "0", ConditionField::kDataNumber, "\"\" is not a number"},
      {"0", "100", "0", ConditionField::kTimerInterval, "at least 1 msec"},
      {"", "100", "0", ConditionField::kTimerInterval, "\"\" is not a number"},
      {"0.4", "100", "0.04", ConditionField::kTimerInterval, "at least 1 msec"},
      {"20", "100", "abc", ConditionField::kSamplingTime, "\"abc\" is not a number"},
      {"20", "100", "0", ConditionField::kSamplingTime, "greater than 0"},
  };
  for (const auto& c : cases) {
    auto problem = EvaluateConditionTexts(c.interval, c.count, c.time);
    ASSERT_EQ(problem.has_value(), c.field.has_value()) << c.interval << "/" << c.count;
    if (!problem) continue;
    EXPECT_EQ(problem->field, *c.field) << c.interval << "/" << c.count << "/" << c.time;
    EXPECT_NE(problem->message.find(c.mentions), std::string::npos) << problem->message;
  }
}

}  // namespace
}  // namespace velquor
