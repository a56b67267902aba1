#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "measure/soft_timer.h"

namespace velquor {
namespace {

TEST(SoftTimer, TicksOnTheGridAndTakesLateTicksLate) {
  struct Case {
    std::uint32_t start;
    std::int64_t interval;
    std::vector<std::uint32_t> polls;
    std::vector<int> due;
  };
  const Case cases[] = {
      // first tick one interval after the start; late ticks come at once, none dropped
      {1000, 20, {1000, 1019, 1020, 1021, 1065, 1065, 1065, 1070}, {0, 0, 1, 0, 1, 1, 0, 0}},
      // the 32-bit clock wraps between start and tick
      {0xFFFFFFF0u, 20, {0xFFFFFFFFu, 0x3u, 0x4u, 0x4u}, {0, 0, 1, 0}},
      // an interval longer than 16 bits
      {5, 100000, {100004, 100005, 200004, 200005}, {0, 1, 0, 1}},
  };
  for (const auto& c : cases) {
    TimerRecord t;
    EXPECT_EQ(SoftTimer(t, c.interval, c.start), 0);
    std::vector<int> got;
    for (auto clock : c.polls) got.push_back(SoftTimer(t, -1, clock));
    EXPECT_EQ(got, c.due) << "start " << c.start;
  }
}

TEST(SoftTimer, StoppedTimerNeverTicks) {
  TimerRecord t;
  EXPECT_EQ(SoftTimer(t, -1, 1000000), 0);  // never started
  SoftTimer(t, 10, 0);
  SoftTimer(t, 0, 5);
  EXPECT_EQ(SoftTimer(t, -1, 1000), 0);
}

TEST(SoftTimer, LastStaysOnGridAcrossThe31BitBoundary) {
  TimerRecord t;
  SoftTimer(t, 1000, 0x7FFFFC00u);
  int ticks = 0;
  for (std::uint32_t clock = 0x7FFFFC00u; clock != 0x80000FA0u; ++clock)
    ticks += SoftTimer(t, -1, clock);
  EXPECT_EQ(ticks, 5);  // the signed overflow of start + interval does not stall pacing
}

}  // namespace
}  // namespace velquor
