#include "plot/ui/picture_base.h"

#include <QPainter>
#include <QResizeEvent>
#include <cmath>
#include <utility>

#include "plot/ui/command_painter.h"
#include "plot/ui/frame_picture.h"

namespace velquor {
namespace {

QRect ToQRect(const PixelRect& r) {
  const int left = static_cast<int>(std::lround(r.x));
  const int top = static_cast<int>(std::lround(r.y));
  return {left, top, static_cast<int>(std::lround(r.x + r.w)) - left,
          static_cast<int>(std::lround(r.y + r.h)) - top};
}

// The Y title: a box like the others, but its text is drawn turned a quarter to the left so
// that it runs up along the axis at the normal size.
class UprightTitle : public QLineEdit {
 public:
  using QLineEdit::QLineEdit;

 protected:
  void paintEvent(QPaintEvent* /*event*/) override {
    QPainter p(this);
    p.setFont(font());
    p.setPen(palette().color(QPalette::Text));
    p.translate(0, height());
    p.rotate(-90);
    p.drawText(QRect(0, 0, height(), width()), Qt::AlignCenter, text());
  }
};

template <class W, class... Args>
W* Child(QWidget* parent, Args&&... args) {
  return new W(std::forward<Args>(args)..., parent);
}

}  // namespace

PictureBase::PictureBase(const FrameGeometry& geometry, QWidget* parent)
    : QWidget(parent), geometry_(geometry), fig_(Child<PctFig>(this)), frame_(*fig_) {
  setObjectName("Picture_base");
  for (int t = 0; t < kAxisTextCount; ++t) {
    const auto which = static_cast<AxisText>(t);
    QLineEdit* box = which == AxisText::kYaxis ? Child<UprightTitle>(this) : Child<QLineEdit>(this);
    box->setObjectName(kAxisTextNames.at(static_cast<std::size_t>(t)));
    box->setFrame(false);
    // Typing never starts in an axis box, nor does Tab stop there; its background lets the
    // frame's lines show through.
    box->setFocusPolicy(Qt::ClickFocus);
    QPalette pal = box->palette();
    pal.setColor(QPalette::Base, Qt::transparent);
    box->setPalette(pal);
    box->setAutoFillBackground(false);
    box->setTextMargins(0, 0, 0, 0);
    box->setAlignment(AlignmentOf(which));
    boxes_.at(static_cast<std::size_t>(t)) = box;
    ShowText(which);
  }
  const char* shapeNames[2] = {"Shape_ch0", "Shape_ch1"};
  const char* labelNames[2] = {"Label2", "Label1"};
  const char* captions[2] = {"ch0", "ch1"};
  for (std::size_t ch = 0; ch < 2; ++ch) {
    shapes_[ch] = Child<QFrame>(this);
    shapes_[ch]->setObjectName(shapeNames[ch]);
    shapes_[ch]->setFrameShape(QFrame::Box);
    shapes_[ch]->setAutoFillBackground(true);
    labels_[ch] = Child<QLabel>(this, QString(captions[ch]));
    labels_[ch]->setObjectName(labelNames[ch]);
    ShowLegend(static_cast<int>(ch));
  }
  frame_.SetObserver(
      {[this](AxisText which) { ShowText(which); }, [this](int ch) { ShowLegend(ch); }});
  resize(designSize());
  LayOut();
}

QSize PictureBase::designSize() const {
  return {geometry_.base.width / kTwipsPerPixel, geometry_.base.height / kTwipsPerPixel};
}

void PictureBase::PlaceOnScreen(double sx, double sy) {
  setGeometry(ToQRect(ToPixels(geometry_.base, sx, sy)));
  LayOut();  // a hidden frame gets its resize event only when shown
}

Status PictureBase::ExportPng(const std::string& path, double scale) const {
  return ExportFramePng(frame_, fig_->recording(), geometry_, path, scale);
}

void PictureBase::ShowText(AxisText which) {
  QLineEdit* box = boxes_.at(static_cast<std::size_t>(which));
  const QString text = QString::fromStdString(frame_.Text(which));
  // The box keeps a few pixels of frame and margin on each side; fit the text inside them.
  constexpr int kBoxMargins = 8;
  const int length = which == AxisText::kYaxis ? box->height() : box->width();
  box->setFont(FitFont(box->font(), fontPixels_, text, length - kBoxMargins));
  box->setText(text);
  box->setCursorPosition(0);
}

void PictureBase::ShowLegend(int ch) {
  QFrame* shape = shapes_.at(static_cast<std::size_t>(ch));
  QPalette pal = shape->palette();
  pal.setColor(QPalette::Window, ToQColor(frame_.LegendColour(ch)));
  shape->setPalette(pal);
}

void PictureBase::LayOut() {
  const QSize design = designSize();
  const double sx = design.width() > 0 ? width() / static_cast<double>(design.width()) : 1.0;
  const double sy = design.height() > 0 ? height() / static_cast<double>(design.height()) : 1.0;
  const FrameLayout layout = LayoutFrame(geometry_, sx, sy);
  fontPixels_ = layout.fontPixels;
  fig_->setGeometry(ToQRect(layout.fig));
  for (int t = 0; t < kAxisTextCount; ++t) {
    boxes_.at(static_cast<std::size_t>(t))
        ->setGeometry(ToQRect(layout.texts.at(static_cast<std::size_t>(t))));
    ShowText(static_cast<AxisText>(t));
  }
  for (std::size_t ch = 0; ch < 2; ++ch) {
    shapes_[ch]->setGeometry(ToQRect(layout.shapes.at(ch)));
    labels_[ch]->setGeometry(ToQRect(layout.labels.at(ch)));
    QFont font = labels_[ch]->font();
    font.setPixelSize(std::max(6, static_cast<int>(std::lround(layout.fontPixels))));
    labels_[ch]->setFont(font);
  }
}

void PictureBase::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  LayOut();
}

namespace {

// A one-pixel outline as four filled bands lying inside `r`: a band a pixel wide covers a
// device pixel at any scale (1.5 included), where a line of the same width may fall between
// pixels and vanish.
void Outline(QPainter& p, const QRect& r, const QColor& colour) {
  p.fillRect(QRect(r.left(), r.top(), r.width(), 1), colour);
  p.fillRect(QRect(r.left(), r.bottom(), r.width(), 1), colour);
  p.fillRect(QRect(r.left(), r.top(), 1, r.height()), colour);
  p.fillRect(QRect(r.right(), r.top(), 1, r.height()), colour);
}

}  // namespace

void PictureBase::paintEvent(QPaintEvent* /*event*/) {
  QPainter p(this);
  p.fillRect(rect(), palette().color(QPalette::Base));
  const QColor line = palette().color(QPalette::Mid);
  Outline(p, rect(), line);
  // Just outside the plotting area, which paints over everything inside it.
  Outline(p, fig_->geometry().adjusted(-1, -1, 1, 1), line);
}

}  // namespace velquor
