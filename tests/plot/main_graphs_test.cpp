#include "plot/main_graphs.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

#include "plot/graph_inputs.h"
#include "plot/live_trace.h"

namespace velquor {
namespace {

using testing::GraphInputs;
using testing::kCh0;
using testing::kCh1;
using testing::KindsOf;
using testing::kOther;
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

// Reference lines first, then the traces in pen width 3 step by step, then pen width 1;
// two samples make one step everywhere but on the speed graph, which begins a step later.
TEST(MainGraphs, ReferenceLinesThenThickTracesStepByStep) {
  struct Case {
    int graph;
    const char *xaxis, *yaxis, *twoSamples, *fourSamples;
  };
  const Case cases[] = {
      {kTorqueGraph, "Time (sec)", "Torque (Nm)", "g3ab1", "g3ababab1"},
      {kSpeedGraph, "Time (sec)", "Speed (m/s)", "g31", "g3abab1"},
      {kDistanceGraph, "Time (sec)", "Distance (m)", "g3ab1", "g3ababab1"},
      {kTurnGraph, "Time (sec)", "Turn (deg)", "g3o1", "g3ooo1"},
      {kTurnRateGraph, "Time (sec)", "Turn (deg/s)", "g3o1", "g3ooo1"},
      {kPathGraph, "Distance (m)", "Distance (m)", "gg3o1", "gg3ooo1"},
      {kPowerGraph, "Time (sec)", "Power (W)", "g3ab1", "g3ababab1"},
  };
  auto two = GraphInputs::Ramp(2);
  two->DrawAll();
  auto four = GraphInputs::Ramp(4);
  four->DrawAll();
  for (const auto& c : cases) {
    EXPECT_EQ(two->At(c.graph).frame.Text(AxisText::kXaxis), c.xaxis) << c.graph;
    EXPECT_EQ(two->At(c.graph).frame.Text(AxisText::kYaxis), c.yaxis) << c.graph;
    EXPECT_EQ(KindsOf(two->At(c.graph).canvas), c.twoSamples) << c.graph;
    EXPECT_EQ(KindsOf(four->At(c.graph).canvas), c.fourSamples) << c.graph;
  }
}

TEST(MainGraphs, SegmentsJoinNeighbouringSamples) {
  auto in = GraphInputs::Ramp(5);
  in->kin.yMax = 0.4f;
  in->DrawAll();
  const auto& s = in->series;
  const auto x = [&s](int i) { return static_cast<float>(s.x(i)); };
  const std::pair<int, LineCmd> cases[] = {
      // Step 2 joins sample 1 at 0.02 s to sample 2 at 0.04 s.
      {kTorqueGraph, {0.02f, s.Torque(0, 1), 0.04f, s.Torque(0, 2), kCh0}},
      // Sample 1 of the speeds is never drawn.
      {kSpeedGraph, {0.04f, s.Speed(1, 2), 0.06f, s.Speed(1, 3), kCh1}},
      // The time zero line runs to the measuring time.
      {kPowerGraph, {0, 0, 0.1f, 0, kReferenceGrey}},
      // The turning angle, held in double, and the turning rate.
      {kTurnGraph, {0.02f, 0.1f, 0.04f, 0.2f, kOther}},
      {kTurnRateGraph, {0.02f, -0.1f, 0.04f, -0.2f, kOther}},
      // The path: sideways position across, forward position up; then its cross, from the
      // texts "1" to "-1".
      {kPathGraph, {s.y(1), x(1), s.y(2), x(2), kOther}},
      {kPathGraph, {1, 0, -1, 0, kReferenceGrey}},
  };
  for (const auto& [graph, line] : cases) {
    const auto lines = LinesIn(in->At(graph).canvas, line.colour);
    ASSERT_FALSE(lines.empty()) << graph;
    EXPECT_EQ(lines[0], line) << graph;
  }
}

TEST(MainGraphs, StatusTellsDrawingThenSampling) {
  auto in = GraphInputs::Ramp(3);
  std::vector<std::string> shown;
  std::array<PlotFrame*, kMainGraphCount> frames{};
  frames[kPowerGraph] = &in->At(kPowerGraph).frame;
  DrawMainGraphs(frames, in->record, in->series, in->kin, in->colours, [&](std::string_view text) {
    // How much of the last graph was drawn when the text was shown.
    shown.push_back(std::string(text) + " " + KindsOf(in->At(kPowerGraph).canvas));
  });
  EXPECT_EQ(shown, (std::vector<std::string>{"Graph Drawing... ", "Data Sampling... g3abab1"}));
}

TEST(MainGraphs, ZeroMeasuringTimeLeavesTheTimeGraphsEmpty) {
  auto in = GraphInputs::Ramp(20);
  in->record.MeasTime = 0;
  in->At(kTorqueGraph).canvas.Line(0, 0, 1, 1, kCh0);  // drawn before, not kept
  in->DrawAll();
  for (int g :
       {kTorqueGraph, kSpeedGraph, kDistanceGraph, kTurnGraph, kTurnRateGraph, kPowerGraph}) {
    EXPECT_EQ(in->At(g).frame.Text(AxisText::kXmax), "0") << g;
    EXPECT_TRUE(in->At(g).canvas.commands().empty()) << g;
  }
  // The path does not depend on the time axis and is still drawn.
  EXPECT_EQ(LinesIn(in->At(kPathGraph).canvas, kOther).size(), 19u);
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
  struct Case {
    int count;
    float peak;
    const char* ends;
    std::size_t segments;  // per channel
  };
  const Case cases[] = {{0, 0, "0|2|0|10", 0},
                        {1, 5, "0|2|0|10", 0},
                        {3, 23, "0|2|0|30", 2},
                        {2500, -12, "0|2|-20|10", 1999}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.ends);
    auto torque = std::make_unique<Grid<float, 2, kSampleSlots>>();
    for (int i = 1; i < kSampleSlots; ++i) (*torque)(1, i) = c.peak;
    RecordingFrame frame;
    DrawLiveTorque(frame.frame, *torque, c.count, 20, 2, {kCh0, kCh1, kOther});
    EXPECT_EQ(Texts(frame.frame, 4), c.ends);
    const auto ch1 = LinesIn(frame.canvas, kCh1);
    EXPECT_EQ(ch1.size(), c.segments);
    if (!ch1.empty()) {
      EXPECT_FLOAT_EQ(ch1.back().x2, 0.02f * static_cast<float>(std::min(c.count, 2000)));
    }
  }
}

}  // namespace
}  // namespace velquor
