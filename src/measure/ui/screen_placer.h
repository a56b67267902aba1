// Places every registered screen when first shown (beside the main window clear of its
// lamps and buttons, or where it was last left, inside the desktop) and gathers the screens'
// places for the settings file.
#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>
#include <functional>
#include <vector>

#include "files/screen_places.h"
#include "measure/screen_placement.h"

namespace velquor::ui {

class ScreenPlacer : public QObject {
 public:
  // `keep_clear` gives the part of the main window a new screen should not cover (the lamps
  // and the Start/Stop and button column), in desktop pixels.
  ScreenPlacer(QWidget& main, std::function<QRect()> keep_clear);

  // The places the settings file remembers from the last run.
  void Remember(ScreenPlaces places);
  // `screen` (a window of its own) is placed when it is first shown in this run; its
  // objectName is the name its place is kept under.
  void Register(QWidget* screen);
  // Every remembered place, with those of the screens shown in this run as they are now.
  ScreenPlaces Places() const;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Place(QWidget& screen);
  FrameMargins FrameOf(const QWidget& screen) const;

  QWidget& main_;
  std::function<QRect()> keepClear_;
  ScreenPlaces remembered_;
  mutable FrameMargins lastFrame_;        // the last window frame seen
  std::vector<QPointer<QWidget>> shown_;  // placed in this run, in the order they came up
};

}  // namespace velquor::ui
