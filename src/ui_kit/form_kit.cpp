#include "ui_kit/form_kit.h"

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QRadioButton>
#include <QResizeEvent>
#include <QShortcut>
#include <QTimer>
#include <algorithm>
#include <cmath>

#include "common/number_parse.h"
#include "common/path_map.h"

namespace velquor::ui {

QString ShownPath(std::string_view stored) {
  return ToQ(ToNativePath(stored));
}

QString ArrayName(std::string_view base, int index) {
  return ToQ(base) + "(" + QString::number(index) + ")";
}

FormSurface::FormSurface(int design_width, int design_height, QWidget* parent)
    : QWidget(parent), design_width_(design_width), design_height_(design_height) {
  setMinimumSize(design_width / kTwipsPerPixel, design_height / kTwipsPerPixel);
}

void FormSurface::Place(QWidget* w, int left, int top, int width, int height) {
  placed_.push_back({w, QRect(left, top, width, height)});
  Apply(placed_.back());
}

void FormSurface::Apply(const Placed& p) const {
  if (!p.widget) return;
  const double f = scale_ / kTwipsPerPixel;
  const QRect& r = p.twips;
  const int x = static_cast<int>(std::lround(r.x() * f));
  const int y = static_cast<int>(std::lround(r.y() * f));
  const int right = static_cast<int>(std::lround((r.x() + r.width()) * f));
  const int bottom = static_cast<int>(std::lround((r.y() + r.height()) * f));
  p.widget->setGeometry(x, y, std::max(1, right - x), std::max(1, bottom - y));
}

void FormSurface::SetMinimumScale(double scale) {
  minScale_ = scale;
  setMinimumSize(static_cast<int>(std::lround(design_width_ * scale / kTwipsPerPixel)),
                 static_cast<int>(std::lround(design_height_ * scale / kTwipsPerPixel)));
}

QSize FormSurface::sizeHint() const {
  return {design_width_ / kTwipsPerPixel, design_height_ / kTwipsPerPixel};
}

void FormSurface::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  const double sx = static_cast<double>(width()) * kTwipsPerPixel / design_width_;
  const double sy = static_cast<double>(height()) * kTwipsPerPixel / design_height_;
  scale_ = std::max(minScale_, std::min(sx, sy));
  for (const Placed& p : placed_) Apply(p);
}

QLabel* FormSurface::Label(QWidget* parent, const QString& caption, int left, int top, int width,
                           int height) {
  auto* label = new QLabel(caption, parent);
  Place(label, left, top, width, height);
  return label;
}

QLabel* FormSurface::ReturnLine(QWidget* parent, const QString& name, int left, int top, int width,
                                int height) {
  QLabel* line = Label(parent, QString(), left, top, width, height);
  line->setObjectName(name);
  line->setFrameShape(QFrame::Panel);
  line->setFrameShadow(QFrame::Sunken);
  return line;
}

template <class W>
W* FormSurface::Named(QWidget* parent, const QString& name, const QString& text, int left, int top,
                      int width, int height) {
  auto* w = new W(text, parent);
  w->setObjectName(name);
  Place(w, left, top, width, height);
  return w;
}

QLineEdit* FormSurface::Edit(QWidget* parent, const QString& name, const QString& text, int left,
                             int top, int width, int height) {
  return Named<QLineEdit>(parent, name, text, left, top, width, height);
}

QPushButton* FormSurface::Button(QWidget* parent, const QString& name, const QString& caption,
                                 int left, int top, int width, int height) {
  auto* button = Named<QPushButton>(parent, name, caption, left, top, width, height);
  button->setAutoDefault(false);
  return button;
}

QGroupBox* FormSurface::Frame(QWidget* parent, const QString& name, const QString& caption,
                              int left, int top, int width, int height) {
  return Named<QGroupBox>(parent, name, caption, left, top, width, height);
}

QCheckBox* FormSurface::Check(QWidget* parent, const QString& name, const QString& caption,
                              int left, int top, int width, int height) {
  return Named<QCheckBox>(parent, name, caption, left, top, width, height);
}

QRadioButton* FormSurface::Option(QWidget* parent, const QString& name, const QString& caption,
                                  int left, int top, int width, int height) {
  return Named<QRadioButton>(parent, name, caption, left, top, width, height);
}

void MakeReadOut(QLineEdit* box) {
  box->setReadOnly(true);
  box->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
}

void SetTextColour(QWidget* w, Rgb colour) {
  QPalette pal = w->palette();
  pal.setColor(QPalette::Text, QColor(RedOf(colour), GreenOf(colour), BlueOf(colour)));
  w->setPalette(pal);
}

void UseMenuBackground(QLineEdit* box) {
  QPalette pal = box->palette();
  pal.setColor(QPalette::Base, pal.color(QPalette::Window));
  box->setPalette(pal);
}

void ShowBeginning(QLineEdit* box) {
  QObject::connect(box, &QLineEdit::textChanged, box, [box] {
    if (!box->hasFocus()) box->setCursorPosition(0);
  });
}

void MarkWrongBox(QLineEdit* box, bool wrong, bool menu_background) {
  box->setProperty("conditionError", wrong);
  QPalette pal = box->palette();
  const QPalette normal = QApplication::palette(box);
  pal.setColor(QPalette::Base, wrong             ? QColor(255, 200, 200)
                               : menu_background ? normal.color(QPalette::Window)
                                                 : normal.color(QPalette::Base));
  box->setPalette(pal);
}

void SetTextIfDifferent(QLineEdit* box, const QString& text) {
  if (box->text() != text) box->setText(text);
}

void TitleWithSource(QWidget* window, const QString& caption, const QString& shown_path) {
  window->setWindowTitle(shown_path.isEmpty() ? caption : caption + " - " + shown_path);
}

void ShowScreen(QWidget* screen) {
  screen->show();
  screen->raise();
  screen->activateWindow();
}

void CloseOnEscape(QWidget* screen) {
  auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), screen);
  escape->setContext(Qt::WindowShortcut);
  QObject::connect(escape, &QShortcut::activated, screen, &QWidget::close);
}

bool StartWindowTimer(QTimer& timer, const QLineEdit* interval_box) {
  const auto interval = ParseWhole(FromQ(interval_box->text()), 0, 2147483647);
  if (!interval) return false;
  timer.setInterval(static_cast<int>(*interval));
  // An interval of 0 gives no ticks, as the window timer of old.
  if (*interval > 0) {
    timer.start();
  } else {
    timer.stop();
  }
  return true;
}

}  // namespace velquor::ui
