// The rules of the linked condition boxes, without any window.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "measure/main_window_rules.h"

namespace velquor {
namespace {

// Sampling Time from interval and count by the leading-number rule, and Data Number back
// from a complete sampling time; nothing where the box has to keep its text (no finite
// result, or a zero interval to divide by).
TEST(ConditionRules, LinkedBoxTexts) {
  struct Case {
    bool toTime;
    const char* a;
    const char* b;
    std::optional<std::string> got;
  };
  const Case cases[] = {
      {true, "0.5", "3", "0.0015"},           {true, "20abc", "100", "2"},
      {true, "1e308", "1e308", std::nullopt}, {false, "2.55", "20", "127.5"},
      {false, "2", "0", std::nullopt},        {false, "2.5s", "20", std::nullopt},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.toTime ? SampTimeText(c.a, c.b) : DataNumText(c.a, c.b), c.got)
        << c.a << ", " << c.b;
  }
}

// F3 walks the whole ladder up from its foot and F2 walks it back down, one preset a key.
TEST(ConditionRules, DataNumberLadderStepsOnePresetAKey) {
  const std::vector<int> ladder = {5, 10, 20, 50, 100, 200, 300, 400, 500, 800, 1200, 1600, 2000};
  std::vector<int> up = {5}, down = {2000};
  while (const auto n = DataNumUp(static_cast<float>(up.back()))) {
    if (*n == up.back()) break;
    up.push_back(*n);
  }
  while (const auto n = DataNumDown(static_cast<float>(down.back()))) down.push_back(*n);
  EXPECT_EQ(up, ladder);
  EXPECT_EQ(std::vector<int>(down.rbegin(), down.rend()), ladder);
}

}  // namespace
}  // namespace velquor
