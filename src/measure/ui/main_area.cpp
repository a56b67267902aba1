#include "measure/ui/main_area.h"

#include <QResizeEvent>

#include "measure/main_window_layout.h"

namespace velquor::ui {
namespace {

QRect ToQRect(const ScreenRect& r) {
  return {r.left, r.top, r.width, r.height};
}

}  // namespace

MainArea::MainArea(QWidget* parent)
    : QWidget(parent),
      graphs_(new FormSurface(kGraphPartWidth, kPartHeight, this)),
      column_(new FormSurface(kColumnPartWidth, kPartHeight, this)),
      noticeLine_(new NoticeLine(this)),
      notices_(new QPushButton("&Notices...", this)) {
  graphs_->setObjectName("graphPart");
  column_->setObjectName("columnPart");
  graphs_->SetMinimumScale(kGraphFloorScale);
  notices_->setObjectName("cmdNotices");
  notices_->setAutoDefault(false);
  const ScreenRect least = MainWindowMinimum(noticeLine_->TwoLineHeight());
  setMinimumSize(least.width, least.height);
}

QSize MainArea::minimumSizeHint() const {
  const ScreenRect least = MainWindowMinimum(noticeLine_->TwoLineHeight());
  return {least.width, least.height};
}

QSize MainArea::sizeHint() const {
  const ScreenRect design = MainWindowDesign(noticeLine_->TwoLineHeight());
  return {design.width, design.height};
}

void MainArea::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  const MainWindowLayout l = LayOutMainWindow(width(), height(), noticeLine_->TwoLineHeight());
  graphs_->setGeometry(ToQRect(l.graphs));
  column_->setGeometry(ToQRect(l.column));
  noticeLine_->setGeometry(ToQRect(l.noticeLine));
  notices_->setGeometry(ToQRect(l.noticesButton));
}

}  // namespace velquor::ui
