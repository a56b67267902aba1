#include "analysis/ui/feedback_tile.h"

#include <QFont>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <vector>

namespace velquor::ui {
namespace {

QString Number(double v) {
  const double a = std::fabs(v);
  return QString::number(v, 'f', a >= 100 ? 0 : (a >= 10 ? 1 : 2));
}

// The range the bar spans: the band and the values drawn, with a margin.
std::pair<double, double> Span(const Band& band, const FeedbackCell& cell) {
  std::vector<double> v;
  if (band.low) v.push_back(*band.low);
  if (band.high) v.push_back(*band.high);
  for (const auto& s : cell.strip) {
    if (s && std::isfinite(*s)) v.push_back(*s);
  }
  if (v.empty()) return {0, 1};
  auto [lo, hi] = std::minmax_element(v.begin(), v.end());
  double a = *lo, b = *hi;
  const double margin =
      std::max((b - a) * 0.15, std::max(std::fabs(a), std::fabs(b)) * 0.05 + 1e-9);
  return {a - margin, b + margin};
}

}  // namespace

FeedbackTile::FeedbackTile(QWidget* parent) : QWidget(parent) {
  setMinimumSize(260, 150);
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void FeedbackTile::Show(const QString& title, const QString& unit, const FeedbackCell& cell,
                        const Band& band) {
  title_ = title;
  unit_ = unit;
  cell_ = cell;
  band_ = band;
  value_ = cell.value ? Number(*cell.value) : QStringLiteral("-");
  symmetry_ = cell.symmetry ? QStringLiteral("L/R %1%2 %")
                                  .arg(*cell.symmetry >= 0 ? "+" : "")
                                  .arg(Number(*cell.symmetry))
                            : QString();
  setAccessibleName(title_ + " " + value_ + " " + unit_ + (symmetry_.isEmpty() ? "" : ", ") +
                    symmetry_);
  update();
}

QColor FeedbackTile::BarColor() const {
  if (!cell_.in_band) return QColor::fromRgb(kNotJudgedColor);
  return QColor::fromRgb(*cell_.in_band ? kInBandColor : kOutOfBandColor);
}

void FeedbackTile::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  p.fillRect(rect(), Qt::black);
  const int w = width(), h = height();
  const int pad = std::max(6, h / 20);

  // The title on top, the value large in the middle, the bar and the strip below.
  QFont f = font();
  f.setBold(true);
  f.setPixelSize(std::max(14, h / 9));
  p.setFont(f);
  p.setPen(Qt::white);
  const QRect titleRect(pad, pad, w - 2 * pad, h / 7);
  p.drawText(titleRect, Qt::AlignLeft | Qt::AlignVCenter, title_);
  p.drawText(titleRect, Qt::AlignRight | Qt::AlignVCenter, symmetry_);

  f.setPixelSize(std::max(24, h * 3 / 10));
  p.setFont(f);
  p.setPen(cell_.in_band ? BarColor() : QColor(Qt::white));
  const QRect valueRect(pad, titleRect.bottom(), w - 2 * pad, h * 4 / 10);
  p.drawText(valueRect, Qt::AlignCenter, value_ + " " + unit_);

  const auto [lo, hi] = Span(band_, cell_);
  const auto x = [&, lo = lo, hi = hi](double v) {
    return pad + static_cast<int>((v - lo) / (hi - lo) * (w - 2 * pad));
  };
  const int barTop = valueRect.bottom() + pad / 2;
  const int barHeight = std::max(10, h / 9);
  const QRect track(pad, barTop, w - 2 * pad, barHeight);
  p.fillRect(track, QColor(40, 40, 40));
  const int bandLeft = band_.low ? x(*band_.low) : track.left();
  const int bandRight = band_.high ? x(*band_.high) : track.right();
  p.fillRect(QRect(QPoint(bandLeft, barTop), QPoint(bandRight, barTop + barHeight)),
             QColor(25, 90, 40));
  if (cell_.value && std::isfinite(*cell_.value)) {
    const int vx = std::clamp(x(*cell_.value), track.left(), track.right());
    p.fillRect(
        QRect(QPoint(track.left(), barTop + barHeight / 4), QPoint(vx, barTop + barHeight * 3 / 4)),
        BarColor());
    p.fillRect(QRect(vx - 2, barTop - 3, 5, barHeight + 6), Qt::white);
  }

  // The last 20 pushes as dots against the band, oldest on the left.
  const int stripTop = barTop + barHeight + pad;
  const int stripHeight = h - stripTop - pad;
  if (stripHeight < 8) return;
  const auto y = [&, lo = lo, hi = hi](double v) {
    return stripTop + stripHeight - static_cast<int>((v - lo) / (hi - lo) * stripHeight);
  };
  const int bandTopY = band_.high ? y(*band_.high) : stripTop;
  const int bandBottomY = band_.low ? y(*band_.low) : stripTop + stripHeight;
  p.fillRect(QRect(QPoint(pad, std::max(stripTop, bandTopY)),
                   QPoint(w - pad, std::min(stripTop + stripHeight, bandBottomY))),
             QColor(25, 90, 40));
  const int n = static_cast<int>(kFeedbackStrip);
  const int radius = std::max(3, std::min(stripHeight / 6, (w - 2 * pad) / (3 * n)));
  for (std::size_t k = 0; k < cell_.strip.size(); ++k) {
    const auto& v = cell_.strip[k];
    if (!v || !std::isfinite(*v)) continue;
    const std::optional<bool> in = InBand(band_, v);
    p.setBrush(QColor::fromRgb(in.value_or(true) ? kInBandColor : kOutOfBandColor));
    p.setPen(Qt::NoPen);
    const int cx =
        pad + radius +
        static_cast<int>(k) * std::max(1, (w - 2 * pad - 2 * radius) / std::max(1, n - 1));
    p.drawEllipse(QPoint(cx, std::clamp(y(*v), stripTop, stripTop + stripHeight)), radius, radius);
  }
}

}  // namespace velquor::ui
