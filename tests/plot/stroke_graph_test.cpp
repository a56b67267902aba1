#include "plot/stroke_graph.h"

#include <gtest/gtest.h>

#include <string>

#include "plot/graph_inputs.h"

namespace velquor {
namespace {

using testing::GraphInputs;
using testing::kCh0;
using testing::KindsOf;
using testing::LinesIn;
using testing::Texts;

TEST(StrokeGraph, MarkersSpanTheHeightUnderTheTraces) {
  auto in = GraphInputs::Ramp(500);  // 10 s
  in->kin.TqMax = {37, 12};
  in->kin.TqMin = {-3, -12.5f};
  in->strokes.StrokeTime = {0, 1.2f, 2.3f, 3.5f, 4.6f};
  RecordingFrame f;
  DrawStrokeGraph(f.frame, in->record, in->series, in->kin, in->strokes, in->colours);

  EXPECT_EQ(Texts(f.frame), "0|10|-20|40|Time (sec)|Torque (Nm)");
  EXPECT_EQ(f.canvas.initial().scale, (PlotScale{0, 40, 10, -60}));
  EXPECT_EQ(LinesIn(f.canvas, kReferenceGrey).at(0), (LineCmd{0, 0, 10, 0, kReferenceGrey}));
  const auto markers = LinesIn(f.canvas, kMarkerGrey);
  EXPECT_EQ(markers.at(0), (LineCmd{1.2f, -20, 1.2f, 40, kMarkerGrey}));
  EXPECT_EQ(markers.at(3), (LineCmd{4.6f, -20, 4.6f, 40, kMarkerGrey}));
  // Thin traces of both wheels step by step after the markers; no pen width is set.
  std::string expected = "gmmmm";
  for (int step = 0; step < 499; ++step) expected += "ab";
  EXPECT_EQ(KindsOf(f.canvas), expected);
  EXPECT_EQ(LinesIn(f.canvas, kCh0).back().y2, in->series.Torque(0, 500));
}

}  // namespace
}  // namespace velquor
