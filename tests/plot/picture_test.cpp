#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <functional>
#include <string>

#include "plot/calib_graph.h"
#include "plot/graph_inputs.h"
#include "plot/qt_environment.h"
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

const auto* const kQt =
    ::testing::AddGlobalTestEnvironment(std::make_unique<testing::QtEnvironment>().release());

// Whether a pixel of the colour lies within `radius` pixels of (x, y).
bool ColourNear(const QImage& img, double x, double y, Rgb colour, int radius = 2) {
  const QColor want = ToQColor(colour);
  const int cx = static_cast<int>(std::lround(x));
  const int cy = static_cast<int>(std::lround(y));
  for (int dy = -radius; dy <= radius; ++dy) {
    for (int dx = -radius; dx <= radius; ++dx) {
      const QPoint p(cx + dx, cy + dy);
      if (img.valid(p) && img.pixelColor(p) == want) return true;
    }
  }
  return false;
}

int CountColour(const QImage& img, const QRect& r, Rgb colour) {
  const QColor want = ToQColor(colour);
  int n = 0;
  for (int y = r.top(); y <= r.bottom(); ++y) {
    for (int x = r.left(); x <= r.right(); ++x) {
      if (img.valid(x, y) && img.pixelColor(x, y) == want) ++n;
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
  const auto boxText = [&base](const char* name) {
    const auto* box = base.findChild<QLineEdit*>(name);
    return box == nullptr ? std::string("(missing)") : box->text().toStdString();
  };
  EXPECT_EQ(boxText("Ymax"), "Ymax");  // placeholder until the first drawing
  DrawStrokeGraph(base.frame(), in->record, in->series, in->kin, in->strokes, in->colours);
  const std::pair<const char*, const char*> shown[] = {
      {"Xmin", "0"},  {"Xmax", "10"},          {"Ymin", "-10"},
      {"Ymax", "30"}, {"Xaxis", "Time (sec)"}, {"Yaxis", "Torque (Nm)"}};
  for (const auto& [name, text] : shown) EXPECT_EQ(boxText(name), text) << name;

  base.box(AxisText::kYmax)->setText("500");  // as if typed
  EXPECT_EQ(base.frame().Text(AxisText::kYmax), "30");
  DrawStrokeGraph(base.frame(), in->record, in->series, in->kin, in->strokes, in->colours);
  EXPECT_EQ(boxText("Ymax"), "30");

  base.frame().SetLegendColour(1, kOther);
  const auto* shape = base.findChild<QFrame*>("Shape_ch1");
  ASSERT_NE(shape, nullptr);
  EXPECT_EQ(shape->palette().color(QPalette::Window), ToQColor(kOther));
  const auto* label = base.findChild<QLabel*>("Label1");
  ASSERT_NE(label, nullptr);
  EXPECT_EQ(label->text(), "ch1");
}

TEST(FramePicture, PaintsOnlyInsideTheAreaAndNothingOverAnUnusableScale) {
  struct Case {
    const char* name;
    PlotScale scale;
    int insidePixelsAtLeast;
  };
  const Case cases[] = {
      {"lines far outside reach the edge only", {0, 1, 1, -1}, 1},
      {"zero width", {0, 1, 0, -1}, 0},
      {"zero height", {0, 1, 1, 0}, 0},
  };
  for (const auto& c : cases) {
    RecordingCanvas canvas;
    canvas.SetScale(c.scale.left, c.scale.top, c.scale.width, c.scale.height);
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
    EXPECT_GE(inside, c.insidePixelsAtLeast) << c.name;
    if (c.insidePixelsAtLeast == 0) {
      EXPECT_EQ(inside, 0) << c.name;
    }
    EXPECT_EQ(CountColour(img, img.rect(), kCh0), inside) << c.name << ": painted outside";
    EXPECT_EQ(CountColour(img, area, MakeRgb(255, 255, 255)) + inside, 40 * 20) << c.name;
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
  const auto at = [](double volt, double torque) {
    return QPointF(128.5 + (volt + 2) / 4 * 401, 32.5 + (35 - torque) / 70 * 241);
  };
  struct Spot {
    double volt, torque;
    Rgb colour;
  };
  const Spot spots[] = {
      {0, 0, kCh0},
      {1, 10, kCh0},
      {-1.5, -15, kCh0},  // Tq = 10 x Volt
      {1, 0, kCh1},
      {-1.5, 0, kCh1},          // Tq = 0 over the zero line
      {-1, -17.5, kCh1},        // the filled point
      {0, 30, kReferenceGrey},  // the axis cross
  };
  for (const auto& s : spots) {
    const QPointF p = at(s.volt, s.torque);
    EXPECT_TRUE(ColourNear(img, p.x(), p.y(), s.colour)) << s.volt << " V, " << s.torque << " Nm";
  }
  // Legend squares in the channel colours, at 240,120 and 840,120 twips.
  EXPECT_EQ(img.pixelColor(41, 25), ToQColor(kCh0));
  EXPECT_EQ(img.pixelColor(121, 25), ToQColor(kCh1));
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
  const QImage torque(dir.path() + "/RUN0007_torque.png");
  EXPECT_EQ(torque.size(), QSize(481, 177));
  // The held left torque is a thick line a quarter down the torque graph's area.
  EXPECT_GT(CountColour(torque, QRect(64, 16 + 30, 321, 1), kCh0), 200);
  const QImage strokes(dir.path() + "/RUN0007_strokes.png");
  EXPECT_GT(CountColour(strokes, strokes.rect(), kMarkerGrey), 0);

  const Status missing =
      ExportReanalysisPngs((dir.path() + "/absent").toStdString(), "RUN", in->record, in->series,
                           in->kin, in->strokes, in->colours);
  ASSERT_FALSE(missing);
  EXPECT_NE(missing.problem().Describe().find("RUN_torque.png"), std::string::npos);
}

}  // namespace
}  // namespace velquor
