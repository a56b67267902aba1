#include "plot/ui/frame_picture.h"

#include <QBuffer>
#include <QByteArray>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPainter>
#include <cmath>
#include <string_view>

#include "common/path_map.h"
#include "common/text_file.h"
#include "plot/ui/command_painter.h"

namespace velquor {
namespace {

constexpr double kSmallestFont = 6.0;

QRectF ToQRect(const PixelRect& r) {
  return {r.x, r.y, r.w, r.h};
}

}  // namespace

Qt::Alignment AlignmentOf(AxisText which) {
  switch (which) {
    case AxisText::kYmin:
    case AxisText::kYmax:
      return Qt::AlignRight | Qt::AlignVCenter;
    default:
      return Qt::AlignCenter;
  }
}

QFont FitFont(QFont font, double pixels, const QString& text, double width, double smallest) {
  smallest = std::max(smallest, kSmallestFont);
  double size = std::max(pixels, smallest);
  font.setPixelSize(static_cast<int>(std::lround(size)));
  while (size - 1.0 >= smallest && QFontMetricsF(font).horizontalAdvance(text) > width) {
    size -= 1.0;
    font.setPixelSize(static_cast<int>(std::lround(size)));
  }
  return font;
}

void PaintFrame(QPainter& p, const QPointF& origin, const PlotFrame& frame,
                const RecordingCanvas& canvas, const FrameGeometry& geometry, double scale,
                bool legend, double smallest_font) {
  const FrameLayout layout = LayoutFrame(geometry, scale, scale);
  p.save();
  p.translate(origin);
  const QRectF fig = ToQRect(layout.fig);
  p.setPen(QPen(Qt::black, 1));
  p.setBrush(Qt::NoBrush);
  p.drawRect(QRectF(0, 0, layout.base.w - 1, layout.base.h - 1));
  p.drawRect(fig.adjusted(-1, -1, 0, 0));
  PaintCommands(p, fig, canvas, Qt::white);

  p.setPen(Qt::black);
  for (int t = 0; t < kAxisTextCount; ++t) {
    const auto which = static_cast<AxisText>(t);
    const QString text = QString::fromStdString(frame.Text(which));
    const QRectF box = ToQRect(layout.texts.at(static_cast<std::size_t>(t)));
    if (which == AxisText::kYaxis) {
      // Turned a quarter to the left, running up along the axis.
      p.setFont(FitFont(p.font(), layout.fontPixels, text, box.height(), smallest_font));
      p.save();
      p.translate(box.left(), box.bottom());
      p.rotate(-90);
      p.drawText(QRectF(0, 0, box.height(), box.width()), Qt::AlignCenter, text);
      p.restore();
      continue;
    }
    p.setFont(FitFont(p.font(), layout.fontPixels, text, box.width(), smallest_font));
    p.drawText(box, static_cast<int>(AlignmentOf(which)), text);
  }
  const char* captions[2] = {"ch0", "ch1"};
  for (int ch = 0; ch < (legend ? 2 : 0); ++ch) {
    const auto c = static_cast<std::size_t>(ch);
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(ToQColor(frame.LegendColour(ch)));
    p.drawRect(ToQRect(layout.shapes.at(c)));
    p.setFont(
        FitFont(p.font(), layout.fontPixels, captions[c], layout.labels.at(c).w, smallest_font));
    p.drawText(ToQRect(layout.labels.at(c)), Qt::AlignLeft | Qt::AlignVCenter, captions[c]);
  }
  p.restore();
}

QImage RenderFrame(const PlotFrame& frame, const RecordingCanvas& canvas,
                   const FrameGeometry& geometry, double scale) {
  const FrameLayout layout = LayoutFrame(geometry, scale, scale);
  QImage image(static_cast<int>(std::lround(layout.base.w)),
               static_cast<int>(std::lround(layout.base.h)), QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter p(&image);
  PaintFrame(p, QPointF(0, 0), frame, canvas, geometry, scale);
  p.end();
  return image;
}

Status ExportFramePng(const PlotFrame& frame, const RecordingCanvas& canvas,
                      const FrameGeometry& geometry, const std::string& path, double scale) {
  if (QGuiApplication::instance() == nullptr) {
    return Problem{path, 0, 0, "the picture cannot be drawn: no graphics session is running"};
  }
  const QImage image = RenderFrame(frame, canvas, geometry, scale);
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  if (!image.save(&buffer, "PNG")) {
    return Problem{path, 0, 0, "the picture could not be encoded as PNG"};
  }
  return WriteFileAtomic(
      ToNativePath(path),
      std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

}  // namespace velquor
