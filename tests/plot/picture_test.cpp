#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QLineEdit>
#include <QTemporaryDir>
#include <array>
#include <memory>
#include <string>

#include "plot/calib_graph.h"
#include "plot/graph_inputs.h"
#include "plot/stroke_graph.h"
#include "plot/ui/command_painter.h"
#include "plot/ui/frame_picture.h"
#include "plot/ui/picture_base.h"
#include "plot/ui/reanalysis_pngs.h"

namespace velquor {
namespace {

using testing::GraphInputs;
using testing::kCh0;
using testing::kCh1;
using testing::kOther;

// One QApplication for the whole program, on the offscreen platform at a fixed density.
struct QtEnvironment : ::testing::Environment {
  void SetUp() override {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QT_SCALE_FACTOR", "1");
    app = std::make_unique<QApplication>(argc, argv.data());
  }
  void TearDown() override { app.reset(); }
  int argc = 1;
  char name[5] = "test";
  std::array<char*, 2> argv = {name, nullptr};
  std::unique_ptr<QApplication> app;
};
const auto* const kQt =
    ::testing::AddGlobalTestEnvironment(std::make_unique<QtEnvironment>().release());

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
    PictureBase base(kForm7Frame);
    DrawStrokeGraph(base.frame(), in->record, in->series, in->kin, in->strokes, in->colours);
    ASSERT_FALSE(base.isVisible());
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

TEST(PictureBase, BoxesShowTheFrameAndHandEditsAreOverwritten) {
  auto in = HeldAndClimbingTorque();
  PictureBase base(kForm7Frame);
  const auto shown = [&base] {
    std::string s;
    for (int t = 0; t < kAxisTextCount; ++t) {
      s += base.box(static_cast<AxisText>(t))->text().toStdString() + "|";
    }
    return s;
  };
  const std::string drawn = "0|10|-10|30|Time (sec)|Torque (Nm)|";
  EXPECT_EQ(shown(), "Xmin|Xmax|Ymin|Ymax|Xaxis|Yaxis|");  // placeholders until drawn
  DrawStrokeGraph(base.frame(), in->record, in->series, in->kin, in->strokes, in->colours);
  EXPECT_EQ(shown(), drawn);

  base.box(AxisText::kYmax)->setText("500");  // as if typed
  EXPECT_EQ(base.frame().Text(AxisText::kYmax), "30");
  DrawStrokeGraph(base.frame(), in->record, in->series, in->kin, in->strokes, in->colours);
  EXPECT_EQ(shown(), drawn);

  base.frame().SetLegendColour(1, kOther);
  EXPECT_EQ(base.legendShape(1)->palette().color(QPalette::Window), ToQColor(kOther));
}

TEST(FramePicture, PaintsOnlyInsideTheAreaAndNothingOverAnUnusableScale) {
  // Lines far outside reach the edge only; a zero width or height paints nothing.
  const std::pair<PlotScale, bool> cases[] = {
      {{0, 1, 1, -1}, true}, {{0, 1, 0, -1}, false}, {{0, 1, 1, 0}, false}};
  for (const auto& [scale, paints] : cases) {
    RecordingCanvas canvas;
    canvas.SetScale(scale.left, scale.top, scale.width, scale.height);
    canvas.Clear();
    canvas.SetPenWidth(3);
    canvas.Line(-1e30f, 0.5f, 1e30f, 0.5f, kCh0);  // across and far beyond
    canvas.Line(0.5f, -5, 0.5f, 1e9f, kCh0);       // down and far beyond
    canvas.SetFillStyle(FillStyle::kSolid);
    canvas.Circle(0.5f, 0.5f, 1e20f, kCh0);  // larger than anything
    canvas.Circle(5, 5, 0.1f, kCh0);         // wholly outside
    QImage img(60, 40, QImage::Format_RGB32);
    img.fill(Qt::black);
    const QRect area(10, 10, 40, 20);
    {
      QPainter p(&img);
      PaintCommands(p, area, canvas, Qt::white);
    }
    const int inside = CountColour(img, area, kCh0);
    EXPECT_EQ(inside > 0, paints) << scale.width << " x " << scale.height;
    EXPECT_EQ(CountColour(img, img.rect(), kCh0), inside) << "painted outside the area";
    EXPECT_EQ(CountColour(img, area, kWhite) + inside, 40 * 20) << scale.width;
  }
}

TEST(FramePicture, PngHasTheTracesWhereTheScalePutsThem) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  RecordingFrame f;
  Calibration cal;
  cal.Ka1 = {10, 0};
  cal.CalCount = {0, 1};
  cal.CalVolt[1][1] = -1;
  cal.CalTorque[1][1] = -17.5;
  DrawCalibGraph(f.frame, cal, {kCh0, kCh1, kOther});
  const std::string path = dir.path().toStdString() + "/calib.png";
  const Status written = ExportFramePng(f.frame, f.canvas, kForm5Frame, path, 2.0);
  ASSERT_TRUE(written) << written.problem().Describe();

  QImage img(QString::fromStdString(path));
  ASSERT_EQ(img.size(), QSize(562, 354));  // 4215 x 2655 twips at twice the pixels
  // The plotting area is 402 x 242 pixels from (128, 32): -2..2 V across, 35..-35 Nm down.
  // Tq = 10 x Volt on channel 0; Tq = 0 over the zero line and the filled point on channel 1;
  // the axis cross.
  struct Spot {
    double volt, torque;
    Rgb colour;
  };
  const Spot spots[] = {{0, 0, kCh0}, {1, 10, kCh0},     {-1.5, -15, kCh0},
                        {1, 0, kCh1}, {-1, -17.5, kCh1}, {0, 30, kReferenceGrey}};
  for (const auto& s : spots) {
    const int x = static_cast<int>(std::lround(128.5 + (s.volt + 2) / 4 * 401));
    const int y = static_cast<int>(std::lround(32.5 + (35 - s.torque) / 70 * 241));
    EXPECT_GT(CountColour(img, QRect(x - 2, y - 2, 5, 5), s.colour), 0)
        << s.volt << " V, " << s.torque << " Nm";
  }
  // Legend squares in the channel colours, one above the other below the Y axis, centred
  // 127 twips across and 2182 and 2392 twips down.
  EXPECT_EQ(img.pixelColor(17, 291), ToQColor(kCh0));
  EXPECT_EQ(img.pixelColor(17, 319), ToQColor(kCh1));
  // The Y title runs up its strip along the left edge (30..285 twips across, level with the
  // plotting area): its letters cover many more rows than columns.
  QRect inked;
  for (int y = 32; y < 274; ++y) {
    for (int x = 4; x < 38; ++x) {
      if (img.pixelColor(x, y).lightness() < 128) inked |= QRect(x, y, 1, 1);
    }
  }
  EXPECT_GT(inked.height(), 3 * inked.width()) << inked.width() << " x " << inked.height();
}

TEST(ReanalysisPngs, EightPicturesNamedAfterTheStem) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  auto in = HeldAndClimbingTorque();
  const Status written = ExportReanalysisPngs(dir.path().toStdString(), "RUN0007", in->record,
                                              in->series, in->kin, in->strokes, in->colours, 1.0);
  ASSERT_TRUE(written) << written.problem().Describe();
  const QStringList names = QDir(dir.path()).entryList(QDir::Files, QDir::Name);
  EXPECT_EQ(names, (QStringList{"RUN0007_distance.png", "RUN0007_path.png", "RUN0007_power.png",
                                "RUN0007_speed.png", "RUN0007_strokes.png", "RUN0007_torque.png",
                                "RUN0007_turn.png", "RUN0007_turnrate.png"}));
  // The held left torque is a thick line a quarter down the torque graph's area.
  const QImage torque(dir.path() + "/RUN0007_torque.png");
  EXPECT_GT(CountColour(torque, QRect(64, 16 + 30, 321, 1), kCh0), 200);

  const Status missing =
      ExportReanalysisPngs((dir.path() + "/absent").toStdString(), "RUN", in->record, in->series,
                           in->kin, in->strokes, in->colours);
  ASSERT_FALSE(missing);
  EXPECT_NE(missing.problem().Describe().find("RUN_torque.png"), std::string::npos);
}

}  // namespace
}  // namespace velquor
