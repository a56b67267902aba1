#include "plot/main_graphs.h"

#include <gtest/gtest.h>

#include <limits>
#include <memory>
#include <tuple>

#include "plot/graph_inputs.h"
#include "plot/live_trace.h"
#include "plot/push_graphs.h"

namespace velquor {
namespace {

using testing::GraphInputs;
using testing::kCh0;
using testing::kCh1;
using testing::LinesIn;
using testing::Texts;

TEST(MainGraphs, AxisEndsFollowTheExtremes) {
  struct Case {
    int graph;
    KinematicsResults kin;
    const char* ends;  // Xmin|Xmax|Ymin|Ymax
  };
  using K = KinematicsResults;
  const Case cases[] = {
      {kTorqueGraph, K{.TqMax = {23, 5}, .TqMin = {0, -3}}, "0|0.4|-10|30"},
      {kTorqueGraph, K{.TqMax = {20, 0}, .TqMin = {-20, 0}}, "0|0.4|-20|30"},
      {kTorqueGraph, K{.TqMax = {0, 37}, .TqMin = {-12.5f, 0}}, "0|0.4|-20|40"},
      {kSpeedGraph, K{.SpeedMax = {1.4f, 1.1f}}, "0|0.4|0|2"},
      // One backward sample puts the bottom at -0.2 however small it was.
      {kSpeedGraph, K{.SpeedMax = {1.4f, 1.1f}, .SpeedMin = {0, -0.01f}}, "0|0.4|-0.2|2"},
      {kSpeedGraph, K{.SpeedMax = {0, 2}}, "0|0.4|0|3"},
      {kDistanceGraph, K{.DistAvMax = 2.3f, .DistAvMin = -2.3f}, "0|0.4|-4|3"},
      {kTurnGraph, K{}, "0|0.4|-10|10"},
      {kTurnGraph, K{.AlphaMax = 12, .AlphaMin = -35}, "0|0.4|-50|50"},
      {kTurnGraph, K{.AlphaMax = 35, .AlphaMin = -12}, "0|0.4|-40|40"},
      // Equal extremes take the end from the minimum.
      {kTurnGraph, K{.AlphaMax = 25, .AlphaMin = -25}, "0|0.4|-40|40"},
      {kTurnRateGraph, K{.BetaMax = 95, .BetaMin = -0.4f}, "0|0.4|-100|100"},
      // The path: its left (positive y) at the left edge, forward upwards.
      {kPathGraph, K{.xMax = 4.2}, "1|-1|0|5"},
      {kPathGraph, K{.xMin = -0.5, .yMax = 1.5f, .yMin = -0.2f}, "2|-2|-1|1"},
      {kPathGraph, K{.yMax = 1.5f, .yMin = -1.5f}, "3|-3|0|1"},
      {kPowerGraph, K{.PowerMax = {45, 60}, .PowerMin = {-5, -12}}, "0|0.4|-20|70"},
  };
  for (const auto& c : cases) {
    auto in = GraphInputs::Ramp(20);
    in->kin = c.kin;
    in->DrawAll();
    EXPECT_EQ(Texts(in->At(c.graph).frame, 4), c.ends) << c.ends;
  }
}

TEST(MainGraphs, SampleCountIsKeptWithinTheRecord) {
  struct Case {
    float DataNum;
    std::size_t segmentsPerTrace;
    float lastTime;  // end of the last segment, s
  };
  const Case cases[] = {
      {2500.0f, 1999, 40.0f},  // past the record: up to sample 2000 only
      {2.5f, 1, 0.04f},        // a fraction counts as the whole number, halves to even
      {3.5f, 3, 0.08f},
      {std::numeric_limits<float>::quiet_NaN(), 0, 0},
  };
  for (const auto& c : cases) {
    auto in = GraphInputs::Ramp(kMaxSamples);
    in->record.DataNum = c.DataNum;
    ASSERT_NO_THROW(in->DrawAll()) << c.DataNum;
    const auto torque = LinesIn(in->At(kTorqueGraph).canvas, kCh0);
    EXPECT_EQ(torque.size(), c.segmentsPerTrace) << c.DataNum;
    EXPECT_FLOAT_EQ(torque.empty() ? 0 : torque.back().x2, c.lastTime) << c.DataNum;
  }
}

// While sampling, the torque frame spans the whole cycle and the traces reach the last
// sample taken; the torque ends follow what was seen so far.
TEST(LiveTorque, GrowsFromTheLeftOnTheCyclesTimeAxis) {
  const std::tuple<int, float, const char*, std::size_t> cases[] = {
      {1, 5, "0|2|0|10", 0}, {3, 23, "0|2|0|30", 2}, {2500, -12, "0|2|-20|10", 1999}};
  for (const auto& [count, peak, ends, segments] : cases) {
    auto torque = std::make_unique<Grid<float, 2, kSampleSlots>>();
    for (int i = 1; i < kSampleSlots; ++i) (*torque)(1, i) = peak;
    RecordingFrame frame;
    DrawLiveTorque(frame.frame, *torque, count, 20, 2, {kCh0, kCh1, kCh0});
    EXPECT_EQ(Texts(frame.frame, 4), ends);
    EXPECT_EQ(LinesIn(frame.canvas, kCh1).size(), segments) << ends;
  }
}

// A push curve of a flat 10 Nm with an SD of 2 on wheel 0; wheel 1 found no push.
TEST(PushGraphs, CurveWithItsBand) {
  PushAnalysis a;
  a.wheels[0].curve.emplace();
  a.wheels[0].curve->mean.fill(10);
  a.wheels[0].curve->sd.emplace();
  a.wheels[0].curve->sd->fill(2);
  RecordingFrame f;
  DrawPushCurveGraph(f.frame, a, {kCh0, kCh1, kCh0});
  EXPECT_EQ(Texts(f.frame), "0|100|0|20|Push time (%)|Torque (Nm)");
  EXPECT_EQ(LinesIn(f.canvas, kCh0).at(0), (LineCmd{0, 10, 1, 10, kCh0}));
  const Rgb band = Tint(kCh0, 0.75);
  EXPECT_EQ(LinesIn(f.canvas, band).at(0), (LineCmd{0, 8, 0, 12, band}));
}

}  // namespace
}  // namespace velquor
