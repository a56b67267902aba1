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

}  // namespace

ScreenPlacer::ScreenPlacer(QWidget& main) : QObject(&main), main_(main) {}

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
  // the inside stands for the whole.
  const QSize frame = screen.frameGeometry().size() - screen.geometry().size();
  ScreenRect r;
  if (kept != remembered_.end()) {
    const QSize inside = QSize(kept->width, kept->height).expandedTo(screen.minimumSize());
    r = {kept->left, kept->top, inside.width() + frame.width(), inside.height() + frame.height()};
    r = KeepInside(r, AreaAt(QPoint(r.left + r.width / 2, r.top + r.height / 2), main_));
  } else {
    const QSize inside = screen.size().expandedTo(screen.sizeHint());
    const ScreenRect main = ToRect(main_.frameGeometry());
    r = PlaceBeside(main, inside.width() + frame.width(), inside.height() + frame.height(),
                    AreaAt(main_.frameGeometry().center(), main_), static_cast<int>(shown_.size()));
  }
  screen.resize(r.width - frame.width(), r.height - frame.height());
  screen.move(r.left, r.top);
}

ScreenPlaces ScreenPlacer::Places() const {
  ScreenPlaces out = remembered_;
  for (const QPointer<QWidget>& screen : shown_) {
    if (!screen) continue;
    const ScreenPlace now{FromQ(screen->objectName()), screen->x(), screen->y(), screen->width(),
                          screen->height()};
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
