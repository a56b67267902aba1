#include "plot/ui/pct_fig.h"

#include <QPaintEvent>
#include <QPainter>

#include "plot/ui/command_painter.h"

namespace velquor {

PctFig::PctFig(QWidget* parent) : QWidget(parent) {
  setObjectName("pctFig");
  setAttribute(Qt::WA_OpaquePaintEvent);  // every paint covers the whole area
}

void PctFig::Changed() {
  if (repaintAsked_) return;
  repaintAsked_ = true;
  update();
}

void PctFig::SetScale(float left, float top, float width, float height) {
  recording_.SetScale(left, top, width, height);
  Changed();
}

void PctFig::Clear() {
  recording_.Clear();
  Changed();
}

void PctFig::Line(float x1, float y1, float x2, float y2, Rgb colour) {
  recording_.Line(x1, y1, x2, y2, colour);
  Changed();
}

void PctFig::SetPenWidth(int pixels) {
  recording_.SetPenWidth(pixels);
}

void PctFig::SetFillStyle(FillStyle style) {
  recording_.SetFillStyle(style);
}

void PctFig::SetFillColour(Rgb colour) {
  recording_.SetFillColour(colour);
}

void PctFig::Circle(float x, float y, float radius, Rgb colour) {
  recording_.Circle(x, y, radius, colour);
  Changed();
}

void PctFig::paintEvent(QPaintEvent* /*event*/) {
  repaintAsked_ = false;
  QPainter p(this);
  PaintCommands(p, QRectF(rect()), recording_, palette().color(QPalette::Base));
}

}  // namespace velquor
