#include "plot/ui/command_painter.h"

#include <QLineF>
#include <QList>
#include <QPen>
#include <cmath>
#include <vector>

#include "plot/line_batches.h"
#include "plot/plot_scale.h"

namespace velquor {
namespace {

// Circles wider than this (in pixels) are left out rather than handed to the painter.
constexpr double kLargestRadius = 1e5;

// Square caps close the joints between the short segments of a thick trace; round caps
// would look the same at 3 pixels but cost several times as much to stroke.
QPen PenOf(Rgb colour, int width) {
  QPen pen(ToQColor(colour), std::max(width, 1));
  pen.setCapStyle(width > 1 ? Qt::SquareCap : Qt::FlatCap);
  pen.setJoinStyle(Qt::MiterJoin);
  return pen;
}

class Replayer {
 public:
  Replayer(QPainter& p, const QRectF& area)
      : p_(p), area_{area.x(), area.y(), area.width(), area.height()} {}

  // Lines cmds[begin..end) share the state's pen width and scale.
  void Lines(const std::vector<CanvasCommand>& cmds, std::size_t begin, std::size_t end,
             const CanvasState& st) {
    if (!st.scale.Usable()) return;
    const PixelMap map(st.scale, area_);
    const double margin = st.penWidth + 2.0;  // thick lines may poke past the edge a little
    const PixelRect clip{area_.x - margin, area_.y - margin, area_.w + 2 * margin,
                         area_.h + 2 * margin};
    colours_.clear();
    for (std::size_t i = begin; i < end; ++i) colours_.push_back(std::get<LineCmd>(cmds[i]).colour);
    for (const InterleaveGroup& g : FindInterleaveGroups(colours_)) {
      for (int offset = 0; offset < g.period && g.begin + offset < g.end; ++offset) {
        batch_.clear();
        for (int k = g.begin + offset; k < g.end; k += g.period) {
          const auto& l = std::get<LineCmd>(cmds[begin + static_cast<std::size_t>(k)]);
          const PixelPoint a = map.Map(l.x1, l.y1);
          const PixelPoint b = map.Map(l.x2, l.y2);
          if (const auto s = ClipSegment({a, b}, clip)) {
            batch_.append(QLineF(s->a.x, s->a.y, s->b.x, s->b.y));
          }
        }
        if (batch_.isEmpty()) continue;
        p_.setPen(PenOf(colours_[static_cast<std::size_t>(g.begin + offset)], st.penWidth));
        p_.drawLines(batch_);
      }
    }
  }

  void Circle(const CircleCmd& c, const CanvasState& st) {
    if (!st.scale.Usable()) return;
    const PixelMap map(st.scale, area_);
    const PixelPoint centre = map.Map(c.x, c.y);
    const double r = map.XLength(c.radius);
    if (!std::isfinite(centre.x) || !std::isfinite(centre.y) || !std::isfinite(r) ||
        r > kLargestRadius) {
      return;
    }
    const QRectF box(centre.x - r, centre.y - r, 2 * r, 2 * r);
    if (!box.adjusted(-st.penWidth, -st.penWidth, st.penWidth, st.penWidth)
             .intersects(QRectF(area_.x, area_.y, area_.w, area_.h))) {
      return;
    }
    p_.setPen(PenOf(c.colour, st.penWidth));
    if (st.fillStyle == FillStyle::kSolid) {
      p_.setBrush(ToQColor(st.fillColour));
    } else {
      p_.setBrush(Qt::NoBrush);
    }
    p_.drawEllipse(box);
  }

 private:
  QPainter& p_;
  PixelRect area_;
  std::vector<Rgb> colours_;
  QList<QLineF> batch_;
};

}  // namespace

QColor ToQColor(Rgb colour) {
  return QColor(RedOf(colour), GreenOf(colour), BlueOf(colour));
}

void PaintCommands(QPainter& painter, const QRectF& area, const RecordingCanvas& canvas,
                   const QColor& background) {
  painter.save();
  painter.setClipRect(area);
  painter.fillRect(area, background);
  painter.setRenderHint(QPainter::Antialiasing, false);
  Replayer replay(painter, area);
  CanvasState st = canvas.initial();
  const auto& cmds = canvas.commands();
  std::size_t i = 0;
  while (i < cmds.size()) {
    if (std::holds_alternative<LineCmd>(cmds[i])) {
      std::size_t end = i + 1;
      while (end < cmds.size() && std::holds_alternative<LineCmd>(cmds[end])) ++end;
      replay.Lines(cmds, i, end, st);
      i = end;
      continue;
    }
    if (const auto* c = std::get_if<CircleCmd>(&cmds[i])) {
      replay.Circle(*c, st);
    } else {
      st.Apply(cmds[i]);
    }
    ++i;
  }
  painter.restore();
}

}  // namespace velquor
