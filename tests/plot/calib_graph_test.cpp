#include "plot/calib_graph.h"

#include <gtest/gtest.h>

#include <vector>

#include "plot/graph_inputs.h"

namespace velquor {
namespace {

using testing::CommandsOf;
using testing::kCh0;
using testing::kCh1;
using testing::KindsOf;
using testing::kOther;
using testing::LinesIn;
using testing::Texts;

TEST(CalibGraph, FixedAxesPointsThenLines) {
  RecordingFrame f;
  Calibration cal;
  cal.Ka1 = {10, -5};
  cal.Ka0 = {0, 2};
  cal.CalCount = {2, 0};
  cal.CalVolt[0][1] = -1;
  cal.CalTorque[0][1] = -10;
  cal.CalVolt[0][2] = 2.5;  // outside the fixed axes, left to clipping
  cal.CalTorque[0][2] = 40;
  DrawCalibGraph(f.frame, cal, {kCh0, kCh1, kOther});

  EXPECT_EQ(Texts(f.frame), "-2|2|-35|35|Volt (V)|Torque (Nm)");
  // The axis cross, the points of channel 0 (channel 1 has none), then both lines.
  EXPECT_EQ(KindsOf(f.canvas), "gg1SFCTSFCTab");
  EXPECT_EQ(CommandsOf<CircleCmd>(f.canvas),
            (std::vector<CircleCmd>{{-1, -10, 0.05f, kCh0}, {2.5f, 40, 0.05f, kCh0}}));
  EXPECT_EQ(LinesIn(f.canvas, kCh0).at(0), (LineCmd{-2, -20, 2, 20, kCh0}));
  EXPECT_EQ(LinesIn(f.canvas, kCh1).at(0), (LineCmd{-2, 12, 2, -8, kCh1}));
}

TEST(CalibGraph, PointCountIsKeptWithinTheTable) {
  RecordingFrame f;
  Calibration cal;
  cal.CalCount = {40, -3};
  for (int k = 1; k <= kCalRows; ++k) cal.CalVolt[0][static_cast<std::size_t>(k)] = 0.1 * k;
  ASSERT_NO_THROW(DrawCalibGraph(f.frame, cal, {kCh0, kCh1, kOther}));
  const auto circles = CommandsOf<CircleCmd>(f.canvas);
  ASSERT_EQ(circles.size(), static_cast<std::size_t>(kCalRows));
  EXPECT_FLOAT_EQ(circles.back().x, 1.3f);
}

TEST(CalibGraph, SetButtonsMarkAndEraseOnePoint) {
  RecordingCanvas c;
  MarkCalibPoint(c, 0.75, -15, kCh1);
  EraseCalibPoint(c, 0.75, -15);
  const std::vector<CanvasCommand> expected = {
      FillStyleCmd{FillStyle::kSolid},      FillColourCmd{kCh1},
      CircleCmd{0.75f, -15, 0.05f, kCh1},   FillStyleCmd{FillStyle::kTransparent},
      FillStyleCmd{FillStyle::kSolid},      FillColourCmd{kWhite},
      CircleCmd{0.75f, -15, 0.05f, kWhite}, FillStyleCmd{FillStyle::kTransparent}};
  EXPECT_EQ(c.commands(), expected);
}

}  // namespace
}  // namespace velquor
