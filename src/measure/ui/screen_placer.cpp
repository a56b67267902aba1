#include "measure/ui/screen_placer.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QWindow>
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
  // The frame a window manager adds is known only once a window has been shown; until then
  // the main window's frame stands for it.
  FrameMargins frame = MarginsOf(screen);
  if (frame.width() == 0 && frame.height() == 0) frame = MarginsOf(main_);
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
  screen.resize(r.width - frame.width(), r.height - frame.height());
  // The place is the frame's corner, as it is kept: a window not yet on screen is told so
  // outright, since moving it would place its inside there and its frame above and left.
  if (QWindow* window = screen.windowHandle()) {
    window->setFramePosition(QPoint(r.left, r.top));
  } else {
    screen.move(r.left, r.top);
  }
}

ScreenPlaces ScreenPlacer::Places() const {
  ScreenPlaces out = remembered_;
  for (const QPointer<QWidget>& screen : shown_) {
    if (!screen) continue;
    const ScreenPlace now =
        KeptPlace(FromQ(screen->objectName()), ToRect(screen->frameGeometry()), MarginsOf(*screen));
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
