#include "measure/ui/notice_line.h"

#include <QFontMetrics>
#include <QPainter>
#include <QTextLayout>

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

int NoticeLine::TwoLineHeight() const {
  return 2 * fontMetrics().lineSpacing() + 2 * frameWidth() + 2 * kTextMargin;
}

QString NoticeLine::shownText() const {
  const int width = std::max(contentsRect().width() - 2 * kTextMargin, 0);
  const QFontMetrics fm = fontMetrics();
  if (fm.horizontalAdvance(text_) <= width) return text_;
  // The first line breaks between words where it can; the rest goes on the second line,
  // cut with "..." only when even that is too long.
  QTextLayout layout(text_, font());
  QTextOption option;
  option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
  layout.setTextOption(option);
  layout.beginLayout();
  QTextLine first = layout.createLine();
  first.setLineWidth(width);
  layout.endLayout();
  const int cut = first.isValid() ? first.textLength() : 0;
  const QString rest = text_.mid(cut).trimmed();
  return text_.left(cut).trimmed() + "\n" + fm.elidedText(rest, Qt::ElideRight, width);
}

void NoticeLine::paintEvent(QPaintEvent* event) {
  QFrame::paintEvent(event);
  QPainter p(this);
  p.setPen(palette().color(QPalette::WindowText));
  p.drawText(contentsRect().adjusted(kTextMargin, 0, -kTextMargin, 0),
             Qt::AlignLeft | Qt::AlignVCenter, shownText());
}

}  // namespace velquor::ui
