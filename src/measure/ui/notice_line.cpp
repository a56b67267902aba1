#include "measure/ui/notice_line.h"

#include <QFontMetrics>
#include <QPainter>

namespace velquor::ui {
namespace {

constexpr int kTextMargin = 3;

}  // namespace

NoticeLine::NoticeLine(QWidget* parent) : QFrame(parent) {
  setObjectName("noticeLine");
  setFrameShape(QFrame::Panel);
  setFrameShadow(QFrame::Sunken);
}

void NoticeLine::setText(const QString& text) {
  text_ = text;
  setToolTip(text);
  update();
}

QString NoticeLine::shownText() const {
  const int width = contentsRect().width() - 2 * kTextMargin;
  return fontMetrics().elidedText(text_, Qt::ElideRight, std::max(width, 0));
}

void NoticeLine::paintEvent(QPaintEvent* event) {
  QFrame::paintEvent(event);
  QPainter p(this);
  p.setPen(palette().color(QPalette::WindowText));
  p.drawText(contentsRect().adjusted(kTextMargin, 0, -kTextMargin, 0),
             Qt::AlignLeft | Qt::AlignVCenter, shownText());
}

}  // namespace velquor::ui
