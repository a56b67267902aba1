#include "plot/calib_graph.h"

#include <gtest/gtest.h>

#include <vector>

#include "plot/graph_inputs.h"

namespace velquor {
namespace {

using testing::CommandsOf;
using testing::kCh0;
using testing::kCh1;
using testing::kOther;

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

}  // namespace
}  // namespace velquor
