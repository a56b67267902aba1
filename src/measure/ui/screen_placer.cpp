#include "measure/ui/screen_placer.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <algorithm>

#include "measure/screen_placement.h"
#include "ui_kit/form_kit.h"

namespace velquor::ui {
namespace {

ScreenRect ToRect(const QRect& r) {
  return {r.x(), r.y(), r.width(), r.height()};
}

// The available area of the desktop screen that holds `point`, or of the main window's.
ScreenRect AreaAt(const QPoint& point, const QWidget& main) {
  const QScreen* screen = QGuiApplication::screenAt(point);
  if (!screen) screen = main.screen();
  return ToRect(screen->availableGeometry());
}

FrameMargins MarginsOf(const QWidget& w) {
  const QRect frame = w.frameGeometry();
  const QRect inside = w.geometry();
  return {inside.left() - frame.left(), inside.top() - frame.top(), frame.right() - inside.right(),
          frame.bottom() - inside.bottom()};
}

}  // namespace

ScreenPlacer::ScreenPlacer(QWidget& main, std::function<QRect()> keep_clear)
    : QObject(&main), main_(main), keepClear_(std::move(keep_clear)) {}

void ScreenPlacer::Remember(ScreenPlaces places) {
  remembered_ = std::move(places);
}

void ScreenPlacer::Register(QWidget* screen) {
  screen->installEventFilter(this);
}

bool ScreenPlacer::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::Show) {
    auto* screen = qobject_cast<QWidget*>(watched);
    if (screen && screen->isWindow() &&
        std::find(shown_.begin(), shown_.end(), screen) == shown_.end()) {
      Place(*screen);
      shown_.emplace_back(screen);
    }
  }
  return QObject::eventFilter(watched, event);
}

void ScreenPlacer::Place(QWidget& screen) {
  const std::string name = FromQ(screen.objectName());
  const auto kept = std::find_if(remembered_.begin(), remembered_.end(),
                                 [&name](const ScreenPlace& p) { return p.name == name; });
  const FrameMargins frame = FrameOf(screen);
  ScreenRect r;
  if (kept != remembered_.end()) {
    const QSize least = screen.minimumSize();
    r = RestoredFrame(
        *kept, frame, least.width(), least.height(),
        AreaAt(QPoint(kept->left + kept->width / 2, kept->top + kept->height / 2), main_));
  } else {
    const QSize inside = screen.size().expandedTo(screen.sizeHint());
    r = PlaceBeside(ToRect(main_.frameGeometry()), inside.width() + frame.width(),
                    inside.height() + frame.height(), AreaAt(main_.frameGeometry().center(), main_),
                    static_cast<int>(shown_.size()), ToRect(keepClear_()));
  }
  // The place is the frame's corner; the inside is put inside the frame.
  screen.setGeometry(r.left + frame.left, r.top + frame.top, r.width - frame.width(),
                     r.height - frame.height());
}

FrameMargins ScreenPlacer::FrameOf(const QWidget& screen) const {
  // The frame a window manager adds is known only once a window is on screen, and not
  // always then; the main window's frame, or the last one seen, stands for it meanwhile.
  for (const QWidget* w : {&screen, static_cast<const QWidget*>(&main_)}) {
    const FrameMargins m = MarginsOf(*w);
    if (m.width() != 0 || m.height() != 0) {
      lastFrame_ = m;
      return m;
    }
  }
  return lastFrame_;
}

ScreenPlaces ScreenPlacer::Places() const {
  ScreenPlaces out = remembered_;
  for (const QPointer<QWidget>& screen : shown_) {
    if (!screen) continue;
    // The frame's corner from the inside, which is always known: a window manager may tell
    // a window its frame late, or not again after it was shown once.
    const FrameMargins frame = FrameOf(*screen);
    const QRect inside = screen->geometry();
    const ScreenRect outer{inside.x() - frame.left, inside.y() - frame.top,
                           inside.width() + frame.width(), inside.height() + frame.height()};
    const ScreenPlace now = KeptPlace(FromQ(screen->objectName()), outer, frame);
    const auto kept = std::find_if(out.begin(), out.end(),
                                   [&now](const ScreenPlace& p) { return p.name == now.name; });
    if (kept != out.end()) {
      *kept = now;
    } else {
      out.push_back(now);
    }
  }
  return out;
}

}  // namespace velquor::ui
