#include <gtest/gtest.h>

#include <memory>

#include "analysis/analyse_record.h"
#include "analysis/result_texts.h"
#include "analysis/strokes.h"
#include "daq/sim_rig.h"
#include "measure/quick_record.h"

namespace velquor {
namespace {

// A 10 s push session on the simulated rig, read as the loop reads it.
std::unique_ptr<MeasurementRecord> RigRecord(std::uint64_t seed) {
  auto rec = std::make_unique<MeasurementRecord>();
  SimRig rig(seed);
  QuickRecord(rig, *rec, 500, 20);
  return rec;
}

TEST(SimChain, APushSessionGivesSensibleStrokes) {
  for (std::uint64_t seed : {1, 2, 3}) {
    SCOPED_TRACE(seed);
    auto rec = RigRecord(seed);
    Calibration cal;
    cal.Ka1 = {SimRig::kNmPerVolt, SimRig::kNmPerVolt};
    auto s = std::make_unique<DerivedSeries>();
    KinematicsResults kin;
    StrokeResults st;
    RecordAnalysis out{*s, kin, st};
    ASSERT_FALSE(AnalyseRecord(
        *rec, cal, {false, ReadStrokeConditions("1", "2", JudgeChannel::kAuto), std::nullopt},
        out));

    for (int ch = 0; ch < 2; ++ch) {
      EXPECT_GT(kin.SpeedAv[ch], 0.2f);  // pushed forwards at a walking pace or so
      EXPECT_LT(kin.SpeedAv[ch], 3.0f);
      EXPECT_GT(kin.TqMax[ch], 10.0f);
      EXPECT_GT(kin.TqAv[ch], 0.0f);
      EXPECT_GT(kin.PowerMax[ch], 0.0f);
    }
    EXPECT_GT(kin.DistAvMax, 2.0f);
    EXPECT_NE(kin.AlphaMax - kin.AlphaMin, 0.0);  // the wheels differ a little: it turns

    ASSERT_EQ(st.StrokeCount, 3);
    EXPECT_GE(st.StrokeTime[1], 1.0f);
    for (int k = 1; k <= 3; ++k) {
      EXPECT_GT(st.StTime[k], 0.6f) << k;
      EXPECT_LT(st.StTime[k], 1.5f) << k;
      EXPECT_GT(st.StDis[k], 0.0f) << k;
      EXPECT_GT(st.StSpeedAv[k], 0.0f) << k;
      EXPECT_GT(st.StdSpeed[k], 0.0f) << k;
      EXPECT_GE(st.StSpeedMax[k], st.StSpeedAv[k]) << k;
      for (int ch = 0; ch < 2; ++ch) EXPECT_GT(st.StTqMax[k][ch], 2.0f) << k;
    }
    auto texts = StrokeBoxTexts(st);
    for (int k = 1; k <= 3; ++k) EXPECT_NE(texts.txtStTime[k], ".") << k;
  }
}

}  // namespace
}  // namespace velquor
