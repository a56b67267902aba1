// Places every registered screen when first shown (beside the main window, or where it was
// last left, inside the desktop) and gathers the screens' places for the settings file.
#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>
#include <vector>

#include "files/screen_places.h"

namespace velquor::ui {

class ScreenPlacer : public QObject {
 public:
  explicit ScreenPlacer(QWidget& main);

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

  QWidget& main_;
  ScreenPlaces remembered_;
  std::vector<QPointer<QWidget>> shown_;  // placed in this run, in the order they came up
};

}  // namespace velquor::ui
