#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "record/study_label.h"

namespace velquor {
namespace {

TEST(StudyLabel, LettersDigitsAndDashOnly) {
  struct Case {
    std::string label;
    bool good;
  };
  const std::vector<Case> cases = {
      {"", true},      {"P01", true},    {"sprint-a", true},
      {"2", true},     {"P 01", false},  {"P_01", false},
      {"s/1", false},  {"ses.1", false}, {"\xe5\x90\x8d", false},  // a letter outside ASCII
      {"a\tb", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(!LabelProblem("Participant", c.label).has_value(), c.good) << c.label;
  }
  const auto why = LabelProblem("Task", "a_b");
  ASSERT_TRUE(why.has_value());
  EXPECT_EQ(*why, "Task \"a_b\" may hold only letters, digits and \"-\", not \"_\"");
  EXPECT_FALSE(LabelsProblem({"P01", "1", "push"}).has_value());
  ASSERT_TRUE(LabelsProblem({"P01", "1 ", "push"}).has_value());
  EXPECT_EQ(LabelsProblem({"P01", "1 ", "push"})->substr(0, 7), "Session");
}

}  // namespace
}  // namespace velquor
