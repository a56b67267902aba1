#include "plot/stroke_graph.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "plot/graph_inputs.h"

namespace velquor {
namespace {

using testing::GraphInputs;
using testing::kCh0;
using testing::kCh1;
using testing::KindsOf;
using testing::LinesIn;

TEST(StrokeGraph, MarkersSpanTheHeightUnderTheTraces) {
  auto in = GraphInputs::Ramp(500);  // 10 s
  in->kin.TqMax = {37, 12};
  in->kin.TqMin = {-3, -12.5f};
  in->strokes.StrokeTime = {0, 1.2f, 2.3f, 3.5f, 4.6f};
  RecordingFrame f;
  f.frame.SetText(AxisText::kYmin, "typed by hand");
  DrawStrokeGraph(f.frame, in->record, in->series, in->kin, in->strokes, in->colours);

  const std::vector<std::string> texts = {"0", "10", "-20", "40", "Time (sec)", "Torque (Nm)"};
  for (int t = 0; t < kAxisTextCount; ++t) {
    EXPECT_EQ(f.frame.Text(static_cast<AxisText>(t)), texts.at(static_cast<std::size_t>(t)));
  }
  EXPECT_EQ(f.canvas.initial().scale, (PlotScale{0, 40, 10, -60}));
  const auto markers = LinesIn(f.canvas, kMarkerGrey);
  ASSERT_EQ(markers.size(), 4u);
  const float times[] = {1.2f, 2.3f, 3.5f, 4.6f};
  for (int k = 0; k < 4; ++k) {
    EXPECT_EQ(markers.at(static_cast<std::size_t>(k)),
              (LineCmd{times[k], -20, times[k], 40, kMarkerGrey}));
  }
  const auto kinds = KindsOf(f.canvas);
  ASSERT_EQ(kinds.size(), 1u + 4u + 2u * 499u);
  EXPECT_EQ(
      std::vector<std::string>(kinds.begin(), kinds.begin() + 7),
      (std::vector<std::string>{"grey", "marker", "marker", "marker", "marker", "ch0", "ch1"}));
  EXPECT_EQ(LinesIn(f.canvas, kCh0).size(), 499u);
  EXPECT_EQ(LinesIn(f.canvas, kCh1).size(), 499u);
  // Thin lines only: the pen width is never touched.
  EXPECT_EQ(f.canvas.current().penWidth, 1);
  EXPECT_EQ(LinesIn(f.canvas, kReferenceGrey)[0], (LineCmd{0, 0, 10, 0, kReferenceGrey}));
}

}  // namespace
}  // namespace velquor
