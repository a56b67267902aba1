#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "daq/sim_rig.h"
#include "measure/quick_record.h"

namespace velquor {
namespace {

// n samples read every 20 ms from a freshly opened rig, as the loop would.
std::unique_ptr<MeasurementRecord> Record(std::uint64_t seed, int n) {
  auto rec = std::make_unique<MeasurementRecord>();
  SimRig rig(seed);
  QuickRecord(rig, *rec, n, 20);
  return rec;
}

// The count an encoder moved between two reads, across its wrap at 4096.
int Step(const MeasurementRecord& rec, int ch, int i) {
  const int d = static_cast<int>(rec.Encoder(ch, i) - rec.Encoder(ch, i - 1));
  return d > 2048 ? d - 4096 : (d < -2048 ? d + 4096 : d);
}

TEST(SimRig, PushesAboutOnceASecondAndTheLeftEncoderCountsBackwardsAndWraps) {
  auto rec = Record(3, 250);  // 5 s at 20 ms a read
  int onsets = 0, left = 0, right = 0;
  bool pushing = false, wrapped = false;
  float peak = 0, lowest = 0;
  for (int i = 2; i <= 250; ++i) {
    const float tq = rec->Volt(0, i) * static_cast<float>(SimRig::kNmPerVolt);
    peak = std::max(peak, tq);
    lowest = std::min(lowest, tq);
    onsets += !pushing && tq > 5;
    pushing = tq > 5 || (pushing && tq >= 2);  // a push ends when the torque falls below 2 Nm
    left += Step(*rec, 0, i);
    right += Step(*rec, 1, i);
    wrapped |= rec->Encoder(0, i) > rec->Encoder(0, i - 1) + 2048;
    ASSERT_LE(rec->Encoder(0, i), 4095.0f);
  }
  EXPECT_GE(onsets, 4);
  EXPECT_LE(onsets, 6);
  EXPECT_GE(peak, 10.0f);
  EXPECT_LE(peak, 45.0f);
  EXPECT_GT(lowest, -2.0f);  // recoveries stay near zero
  // The chair rolls forwards: the right count grows, the left count falls, modulo 4096.
  EXPECT_LT(left, -500);
  EXPECT_GT(right, 500);
  EXPECT_TRUE(wrapped);     // the left count passes 0 and comes back at 4095
  EXPECT_NE(left, -right);  // the wheels differ slightly: the chair turns
}

}  // namespace
}  // namespace velquor
