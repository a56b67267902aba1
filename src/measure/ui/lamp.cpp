#include "measure/ui/lamp.h"

#include <QPainter>
#include <algorithm>

namespace velquor::ui {

Lamp::Lamp(QWidget* parent) : QWidget(parent) {}

void Lamp::SetColour(Rgb colour) {
  if (colour == colour_) return;
  colour_ = colour;
  update();
}

void Lamp::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  const int d = std::max(2, std::min(width(), height()) - 2);
  const QRectF circle((width() - d) / 2.0, (height() - d) / 2.0, d, d);
  p.setPen(QPen(palette().color(QPalette::WindowText), 1));
  p.setBrush(QColor(RedOf(colour_), GreenOf(colour_), BlueOf(colour_)));
  p.drawEllipse(circle);
}

}  // namespace velquor::ui
