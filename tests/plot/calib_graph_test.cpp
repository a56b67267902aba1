#include "plot/calib_graph.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "plot/graph_inputs.h"

namespace velquor {
namespace {

using testing::kCh0;
using testing::kCh1;
using testing::KindsOf;
using testing::kOther;
using testing::LinesIn;

std::vector<CircleCmd> CirclesIn(const RecordingCanvas& c) {
  std::vector<CircleCmd> out;
  for (const auto& cmd : c.commands()) {
    if (const auto* k = std::get_if<CircleCmd>(&cmd)) out.push_back(*k);
  }
  return out;
}

Calibration TwoChannels() {
  Calibration cal;
  cal.Ka1 = {10, -5};
  cal.Ka0 = {0, 2};
  cal.CalCount = {2, 0};
  cal.CalVolt[0][1] = -1;
  cal.CalTorque[0][1] = -10;
  cal.CalVolt[0][2] = 2.5;  // outside the fixed axes, left to clipping
  cal.CalTorque[0][2] = 40;
  return cal;
}

TEST(CalibGraph, FixedAxesPointsThenLines) {
  RecordingFrame f;
  const Calibration cal = TwoChannels();
  DrawCalibGraph(f.frame, cal, {kCh0, kCh1, kOther});

  EXPECT_EQ(f.frame.LegendColour(0), kCh0);
  EXPECT_EQ(f.frame.LegendColour(1), kCh1);
  const std::vector<std::string> texts = {"-2", "2", "-35", "35", "Volt (V)", "Torque (Nm)"};
  for (int t = 0; t < kAxisTextCount; ++t) {
    EXPECT_EQ(f.frame.Text(static_cast<AxisText>(t)), texts.at(static_cast<std::size_t>(t)));
  }
  EXPECT_EQ(f.canvas.initial().scale, (PlotScale{-2, 35, 4, -70}));
  const std::vector<std::string> point = {"solid", "fillcolour", "circle", "transparent"};
  std::vector<std::string> expected = {"grey", "grey", "pen1"};
  for (int k = 0; k < 2; ++k) expected.insert(expected.end(), point.begin(), point.end());
  expected.insert(expected.end(), {"ch0", "ch1"});
  EXPECT_EQ(KindsOf(f.canvas), expected);

  const auto circles = CirclesIn(f.canvas);
  ASSERT_EQ(circles.size(), 2u);
  EXPECT_EQ(circles[0], (CircleCmd{-1, -10, 0.05f, kCh0}));
  EXPECT_EQ(circles[1], (CircleCmd{2.5f, 40, 0.05f, kCh0}));
  EXPECT_EQ(LinesIn(f.canvas, kCh0)[0], (LineCmd{-2, -20, 2, 20, kCh0}));
  EXPECT_EQ(LinesIn(f.canvas, kCh1)[0], (LineCmd{-2, 12, 2, -8, kCh1}));
  EXPECT_EQ(f.canvas.current().fillStyle, FillStyle::kTransparent);
}

TEST(CalibGraph, PointCountIsKeptWithinTheTable) {
  RecordingFrame f;
  Calibration cal;
  cal.CalCount = {40, -3};
  for (int k = 1; k <= kCalRows; ++k) cal.CalVolt[0][static_cast<std::size_t>(k)] = 0.1 * k;
  ASSERT_NO_THROW(DrawCalibGraph(f.frame, cal, {kCh0, kCh1, kOther}));
  const auto circles = CirclesIn(f.canvas);
  ASSERT_EQ(circles.size(), static_cast<std::size_t>(kCalRows));
  EXPECT_FLOAT_EQ(circles.back().x, 1.3f);
}

TEST(CalibGraph, SetButtonsMarkAndEraseOnePoint) {
  RecordingFrame f;
  DrawCalibGraph(f.frame, Calibration{}, {kCh0, kCh1, kOther});
  const std::size_t before = f.canvas.commands().size();
  MarkCalibPoint(f.canvas, 0.75, -15, kCh1);
  EraseCalibPoint(f.canvas, 0.75, -15);
  const auto& cmds = f.canvas.commands();
  ASSERT_EQ(cmds.size(), before + 8);
  const std::vector<CanvasCommand> expected = {
      FillStyleCmd{FillStyle::kSolid},      FillColourCmd{kCh1},
      CircleCmd{0.75f, -15, 0.05f, kCh1},   FillStyleCmd{FillStyle::kTransparent},
      FillStyleCmd{FillStyle::kSolid},      FillColourCmd{kWhite},
      CircleCmd{0.75f, -15, 0.05f, kWhite}, FillStyleCmd{FillStyle::kTransparent}};
  EXPECT_EQ(std::vector<CanvasCommand>(cmds.begin() + static_cast<long>(before), cmds.end()),
            expected);
}

}  // namespace
}  // namespace velquor
