#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "daq/sim_rig.h"
#include "measure/quick_record.h"

namespace velquor {
namespace {

// Reads n samples from a freshly opened rig, as the loop would.
std::unique_ptr<MeasurementRecord> Record(std::uint64_t seed, int n) {
  auto rec = std::make_unique<MeasurementRecord>();
  SimRig rig(seed);
  QuickRecord(rig, *rec, n, 20);
  return rec;
}

TEST(SimRig, TorqueShowsPushesAboutOnceASecond) {
  auto rec = Record(1, 250);  // 5 s at 20 ms a read
  int onsets = 0;
  bool pushing = false;
  float peak = 0, lowest = 0;
  for (int i = 1; i <= 250; ++i) {
    const float tq = rec->Volt(0, i) * static_cast<float>(SimRig::kNmPerVolt);
    peak = std::max(peak, tq);
    lowest = std::min(lowest, tq);
    onsets += !pushing && tq > 5;
    pushing = tq > 5 || (pushing && tq >= 2);  // a push ends when the torque falls below 2 Nm
  }
  EXPECT_GE(onsets, 4);
  EXPECT_LE(onsets, 6);
  EXPECT_GE(peak, 10.0f);
  EXPECT_LE(peak, 45.0f);
  EXPECT_GT(lowest, -2.0f);  // recoveries stay near zero
}

TEST(SimRig, OneReadAdvancesTheWorldByTheRunsInterval) {
  // The same person at 1 ms and at 20 ms a read: after 2 s the right wheel has rolled as far,
  // and the torque of a push is the same.
  auto travel = [](double interval_ms, int n) {
    auto rec = std::make_unique<MeasurementRecord>();
    SimRig rig(5);
    rig.SetReadInterval(interval_ms);
    QuickRecord(rig, *rec, n, interval_ms);
    double counts = 0, peak = 0;
    for (int i = 2; i <= n; ++i) {
      int d = static_cast<int>(rec->Encoder(1, i) - rec->Encoder(1, i - 1));
      counts += d < -2048 ? d + 4096 : d;
      peak = std::max(peak, static_cast<double>(rec->Volt(1, i)) * SimRig::kNmPerVolt);
    }
    return std::pair{counts, peak};
  };
  const auto [fine, fine_peak] = travel(1, 2000);
  const auto [coarse, coarse_peak] = travel(20, 100);
  EXPECT_GT(coarse, 1000);  // more than half a turn: the chair moved
  EXPECT_NEAR(fine, coarse, 0.05 * coarse);
  EXPECT_NEAR(fine_peak, coarse_peak, 3.0);
}

TEST(SimRig, LeftEncoderCountsBackwardsAndWraps) {
  auto rec = Record(3, 250);
  // The chair rolls forwards: the right count grows, the left count falls, modulo 4096.
  auto step = [&](int ch, int i) {
    int d = static_cast<int>(rec->Encoder(ch, i) - rec->Encoder(ch, i - 1));
    if (d > 2048) d -= 4096;
    if (d < -2048) d += 4096;
    return d;
  };
  int left = 0, right = 0;
  bool wrapped = false;
  for (int i = 2; i <= 250; ++i) {
    left += step(0, i);
    right += step(1, i);
    wrapped |= rec->Encoder(0, i) > rec->Encoder(0, i - 1) + 2048;
    ASSERT_LE(rec->Encoder(0, i), 4095.0f);
  }
  EXPECT_LT(left, -500);
  EXPECT_GT(right, 500);
  EXPECT_TRUE(wrapped);     // the left count passes 0 and comes back at 4095
  EXPECT_NE(left, -right);  // the wheels differ slightly: the chair turns
}

}  // namespace
}  // namespace velquor
