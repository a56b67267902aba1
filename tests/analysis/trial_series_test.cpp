#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <stdexcept>
#include <vector>

#include "analysis/trial_series.h"

namespace velquor {
namespace {

// Four samples at 10 ms, channel 0 at 20 Nm/V + 0.5 Nm, channel 1 at 10 Nm/V - 1 Nm.
TrialSeries HandTrial(bool shift) {
  Calibration cal;
  cal.Ka1 = {20, 10};
  cal.Ka0 = {0.5, -1};
  TrialSeries t(10, cal, shift);
  t.Append({0.25f, 0.5f}, {100, 4090});
  t.Append({0.25f, 0.5f}, {95, 5});      // left -5 (forward 5), right +11 across the wrap
  t.Append({-0.5f, 1.0f}, {4090, 505});  // left -101 across the wrap, right exactly +500
  t.Append({0.0f, 0.0f}, {4090, 4});     // right -501 is a wrap: +3595
  return t;
}

TEST(TrialSeries, HandComputedValues) {
  const TrialSeries t = HandTrial(false);
  const TrialSeries shifted = HandTrial(true);
  struct Row {
    const char* what;
    std::function<double()> got;
    double expected;
  };
  // Angles: C * 360 / 2000 deg; radians with pi = 3.14159; r = 0.31 as a single.
  // clang-format off
  const std::vector<Row> rows = {
      {"torque 0 at 1: 20 * 0.25 + 0.5", [&] { return t.Torque(0, 1); }, 5.5},
      {"torque 1 at 3: 10 * 1 - 1", [&] { return t.Torque(1, 3); }, 9},
      {"torque 0 at 3 with shift: 20 * -0.5", [&] { return shifted.Torque(0, 3); }, -10},
      {"count starts at 0", [&] { return static_cast<double>(t.Count(0, 1)); }, 0},
      {"left counts backwards", [&] { return static_cast<double>(t.Count(0, 2)); }, 5},
      {"left wraps: 95 -> 4090 is -101", [&] { return static_cast<double>(t.Count(0, 3)); }, 106},
      {"right wraps: 4090 -> 5 is +11", [&] { return static_cast<double>(t.Count(1, 2)); }, 11},
      {"a step of exactly 500 is taken as it is", [&] { return static_cast<double>(t.Count(1, 3)); }, 511},
      {"a step of -501 is a wrap", [&] { return static_cast<double>(t.Count(1, 4)); }, 4106},
      {"angle 0 at 2: 5 * 360 / 2000", [&] { return t.AngleDeg(0, 2); }, 0.9},
      {"angle 0 at 3", [&] { return t.AngleDeg(0, 3); }, 19.08},
      // 0.31 * (0.9 * 3.14159 / 180) / 0.01
      {"speed 0 at 2", [&] { return t.Speed(0, 2); }, 0.486946453745067},
      // 0.31 * (11 * 0.18 * 3.14159 / 180) / 0.01
      {"speed 1 at 2", [&] { return t.Speed(1, 2); }, 1.0712821982391478},
      // (5.5 + 5.5) * 0.01570795 / 2 / 0.01
      {"power 0 at 2", [&] { return t.Power(0, 2); }, 8.6393725},
      // (5.5 - 9.5) * (101 * 0.18 * 3.14159 / 180) / 2 / 0.01 = -4 * 0.31730059 / 0.02
      {"power 0 at 3", [&] { return t.Power(0, 3); }, -63.460118},
      {"volt kept", [&] { return static_cast<double>(t.Volt(1, 3)); }, 1.0},
      {"encoder kept", [&] { return static_cast<double>(t.Encoder(0, 3)); }, 4090},
  };
  // clang-format on
  for (const Row& r : rows) {
    EXPECT_NEAR(r.got(), r.expected, 1e-9 * (1 + std::fabs(r.expected))) << r.what;
  }
  EXPECT_TRUE(std::isnan(t.Speed(0, 1)));
  EXPECT_TRUE(std::isnan(t.Power(1, 1)));
  EXPECT_EQ(t.Samples(), 4);
  EXPECT_THROW((void)t.Torque(0, 0), std::out_of_range);
  EXPECT_THROW((void)t.Torque(0, 5), std::out_of_range);
  EXPECT_THROW((void)t.Power(2, 2), std::out_of_range);
}

TEST(TrialSeries, KeepsEverySampleAcrossBlocks) {
  Calibration cal;
  cal.Ka1 = {1, 1};
  TrialSeries t(1, cal, false);
  constexpr std::int64_t kSamples = 3 * 4096 + 17;
  for (std::int64_t i = 1; i <= kSamples; ++i) {
    // The right wheel turns 3 counts forward per sample, wrapping every 1366 or so samples.
    t.Append({static_cast<float>(i), 0.f}, {0, static_cast<std::uint16_t>((3 * i) % 4096)});
  }
  ASSERT_EQ(t.Samples(), kSamples);
  for (std::int64_t i : {std::int64_t{1}, std::int64_t{4096}, std::int64_t{4097}, kSamples}) {
    EXPECT_EQ(t.Volt(0, i), static_cast<float>(i)) << i;
    EXPECT_EQ(t.Count(1, i), 3 * (i - 1)) << i;
  }
  EXPECT_LE(t.MemoryBytes(), static_cast<std::size_t>(64 * kSamples));
  // Read in one pass across the blocks gives what the single calls give.
  std::vector<PushSample> read;
  for (int w = 0; w < 2; ++w) {
    t.Read(w, 2, kSamples, read);
    ASSERT_EQ(read.size(), static_cast<std::size_t>(kSamples - 1));
    int differ = 0;
    for (std::int64_t i = 2; i <= kSamples; ++i) {
      const PushSample& v = read[static_cast<std::size_t>(i - 2)];
      if (v.torque != t.Torque(w, i) || v.power != t.Power(w, i) || v.speed != t.Speed(w, i)) {
        ++differ;
      }
    }
    EXPECT_EQ(differ, 0) << w;
  }
  EXPECT_THROW(t.Read(0, 1, 5, read), std::out_of_range);
  EXPECT_THROW(t.Read(0, 5, kSamples + 1, read), std::out_of_range);
}

}  // namespace
}  // namespace velquor
