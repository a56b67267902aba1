#include "measure/scan_follower.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace velquor {
namespace {

constexpr std::int64_t kMs = 1'000'000;
constexpr std::int64_t kUs = 1'000;

// Scans every 10 ms from 0, each handed over `lag(k)` after it is made: how far the ticks
// have moved after `scans` of them.
template <typename Lag>
std::int64_t MovedAfter(int scans, Lag lag, std::int64_t card_ns = 10 * kMs) {
  ScanFollower f(0, 10 * kMs);
  std::int64_t moved = 0;
  for (int k = 1; k <= scans; ++k) {
    const std::int64_t tick = k * 10 * kMs + moved;
    moved += f.Arrived(tick, k * card_ns + lag(k));
  }
  return moved;
}

TEST(ScanFollower, FollowsDriftButNeverALagOrAHoldUp) {
  struct Row {
    const char* name;
    std::int64_t moved, moved_near;
  };
  const auto none = [](int) { return std::int64_t{0}; };
  const auto steady = [](int) { return 2 * kMs; };
  // A thread held up 300 ms at scan 100 reads the next scans in a burst.
  const auto held = [](int k) { return k >= 100 && k < 130 ? (130 - k) * 10 * kMs : 0; };
  const std::vector<Row> rows = {
      {"prompt scans", MovedAfter(320, none), 0},
      {"a steady lag of 2 ms stays a lag", MovedAfter(320, steady), 0},
      // 320 scans of a card 0.05 % slow: 1.6 ms, less the window's drift not yet seen.
      {"a slow card", MovedAfter(320, none, 10'005'000), 1520 * kUs},
      {"a fast card", MovedAfter(320, none, 9'995'000), -1520 * kUs},
      // At most a window's drift (160 us) before the prompt scans after it move the ticks back.
      {"a hold-up", MovedAfter(160, held), 0},
  };
  for (const Row& r : rows) {
    EXPECT_NEAR(static_cast<double>(r.moved), static_cast<double>(r.moved_near), 100.0 * kUs)
        << r.name;
  }
  EXPECT_LE(MovedAfter(128, held), 160 * kUs);
}

TEST(ScanFollower, NamesTheDeliveryMostCommonInTheCycle) {
  ScanFollower f(0, 5 * kMs);
  // Eight scans handed over at once every 40 ms, after one handed over alone.
  f.Arrived(5 * kMs, 5 * kMs);
  for (int k = 2; k <= 201; ++k) f.Arrived(k * 5 * kMs, ((k - 2) / 8 + 1) * 40 * kMs + 10 * kMs);
  EXPECT_EQ(f.CommonDelivery(), 8);
  f.NewCycle();
  for (int k = 202; k <= 220; ++k) f.Arrived(k * 5 * kMs, k * 5 * kMs);
  EXPECT_EQ(f.CommonDelivery(), 1);
}

}  // namespace
}  // namespace velquor
