#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <array>
#include <memory>

#include "plot/graph_inputs.h"
#include "plot/qt_environment.h"
#include "plot/stroke_graph.h"
#include "plot/ui/command_painter.h"
#include "plot/ui/picture_base.h"

namespace velquor {
namespace {

using testing::GraphInputs;
using testing::kCh0;
using testing::kCh1;

const auto* const kQt =
    ::testing::AddGlobalTestEnvironment(std::make_unique<testing::QtEnvironment>("1").release());

int CountColour(const QImage& img, const QRect& r, Rgb colour) {
  int n = 0;
  for (int y = r.top(); y <= r.bottom(); ++y) {
    for (int x = r.left(); x <= r.right(); ++x) {
      if (img.valid(x, y) && img.pixelColor(x, y) == ToQColor(colour)) ++n;
    }
  }
  return n;
}

// A 10 s record whose left torque holds at 20 Nm and whose right torque climbs from 0 to
// 30 Nm, on an axis of -10 to 30 Nm.
std::unique_ptr<GraphInputs> HeldAndClimbingTorque() {
  auto in = GraphInputs::Ramp(500);
  for (int i = 0; i <= 500; ++i) {
    in->series.Torque(0, i) = 20;
    in->series.Torque(1, i) = 30.0f * i / 500;
  }
  in->kin.TqMax = {20, 29};
  in->kin.TqMin = {0, -3};
  in->strokes.StrokeTime = {0, 2.5f, 5, 7.5f, 0};
  return in;
}

TEST(PictureBase, GraphDrawnWhileHiddenShowsWhenShownAtAnySize) {
  struct Case {
    double stretch;
    QSize area;
    int heldRow;  // 20 Nm, a quarter of the way down from 30 Nm
  };
  const Case cases[] = {{1.0, {129, 81}, 20}, {2.0, {258, 162}, 40}, {4.0, {516, 324}, 81}};
  auto in = HeldAndClimbingTorque();
  for (const auto& c : cases) {
    PictureBase base(kStrokeReportFrame);
    DrawStrokeGraph(base.frame(), in->record, in->series, in->kin, in->strokes, in->colours);
    base.PlaceOnScreen(c.stretch, c.stretch);
    base.show();
    const QImage img = base.pctFig()->grab().toImage();
    ASSERT_EQ(img.size(), c.area) << c.stretch;
    // Still a one-pixel line: drawn again at the new size, not a picture blown up.
    const int column = c.area.width() / 3;  // clear of the stroke markers
    EXPECT_EQ(CountColour(img, QRect(column, 0, 1, c.area.height()), kCh0), 1) << c.stretch;
    EXPECT_EQ(img.pixelColor(column, c.heldRow), ToQColor(kCh0)) << c.stretch;
    if (c.stretch != 1.0) continue;
    // Where the right torque (15 Nm at 5 s) crosses the marker at 5 s the trace lies on
    // top; the marker shows below it, and the boundary not found lies on the left edge.
    EXPECT_EQ(img.pixelColor(64, 30), ToQColor(kCh1));
    EXPECT_EQ(img.pixelColor(64, 70), ToQColor(kMarkerGrey));
    EXPECT_EQ(img.pixelColor(0, 70), ToQColor(kMarkerGrey));
  }
}

}  // namespace
}  // namespace velquor
