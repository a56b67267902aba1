#include "plot/push_graphs.h"

#include <gtest/gtest.h>

#include "plot/graph_inputs.h"

namespace velquor {
namespace {

using testing::CommandsOf;
using testing::GraphInputs;
using testing::kCh0;
using testing::kCh1;
using testing::LinesIn;
using testing::Texts;

// Wheel 0: a partial run at the start, a push of samples 20..40, a rejected run 60..62;
// its curve a flat 10 Nm with an SD of 2. Wheel 1 found nothing.
PushAnalysis Analysis() {
  PushAnalysis a;
  a.parameters.threshold = 1.5;
  WheelPushes& w = a.wheels[0];
  w.runs = {{1, 5, PushRunKind::kPartial},
            {20, 40, PushRunKind::kPush},
            {60, 62, PushRunKind::kRejected}};
  Push p;
  p.number = 1;
  p.first = 20;
  p.last = 40;
  p.figures.at(static_cast<std::size_t>(PushFigure::kOn)) = 0.39;
  p.figures.at(static_cast<std::size_t>(PushFigure::kOff)) = 0.81;
  w.pushes = {p};
  w.curve.emplace();
  w.curve->mean.fill(10);
  w.curve->sd.emplace();
  w.curve->sd->fill(2);
  a.wheels[1].wheel = 1;
  return a;
}

TEST(PushGraphs, CurveWithBandAndRunsUnderTheTorque) {
  const PushAnalysis a = Analysis();
  auto in = GraphInputs::Ramp(100);  // 2 s
  RecordingFrame curve;
  DrawPushCurveGraph(curve.frame, a, in->colours);
  EXPECT_EQ(Texts(curve.frame), "0|100|0|20|Push time (%)|Torque (Nm)");
  EXPECT_TRUE(LinesIn(curve.canvas, kCh1).empty()) << "no curve for wheel 1";
  const auto mean = LinesIn(curve.canvas, kCh0);
  ASSERT_EQ(mean.size(), 100u);
  EXPECT_EQ(mean.front(), (LineCmd{0, 10, 1, 10, kCh0}));
  const auto band = LinesIn(curve.canvas, Tint(kCh0, 0.75));
  ASSERT_FALSE(band.empty());
  EXPECT_EQ(band.front(), (LineCmd{0, 8, 0, 12, Tint(kCh0, 0.75)}));
  EXPECT_EQ(band.back().x1, 100);

  in->kin.TqMax = {25, 12};
  in->kin.TqMin = {-3, -1};
  RecordingFrame time;
  DrawPushTimeGraph(time.frame, in->record, in->series, in->kin, a, in->colours);
  EXPECT_EQ(Texts(time.frame), "0|2|-10|30|Time (sec)|Torque (Nm)");
  const float track = -10 + 40 * 0.04f;
  const auto grey = LinesIn(time.canvas, kMarkerGrey);
  EXPECT_EQ(grey.front(), (LineCmd{0, 1.5f, 2, 1.5f, kMarkerGrey})) << "the threshold";
  EXPECT_EQ(grey.back(), (LineCmd{1.2f, track, 1.24f, track, kMarkerGrey})) << "the rejected run";
  const auto ch0 = LinesIn(time.canvas, kCh0);
  EXPECT_NE(std::find(ch0.begin(), ch0.end(), LineCmd{0.02f, track, 0.1f, track, kCh0}), ch0.end())
      << "the partial run";
  EXPECT_EQ(ch0.back(), (LineCmd{0.39f, track, 0.81f, track, kCh0})) << "the push";
  const auto circles = CommandsOf<CircleCmd>(time.canvas);
  ASSERT_EQ(circles.size(), 2u);
  EXPECT_EQ(circles[0].x, 0.39f);
  EXPECT_EQ(circles[1].x, 0.81f);
  EXPECT_EQ(circles[1].y, 1.5f);
}

}  // namespace
}  // namespace velquor
