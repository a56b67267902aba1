// Opens every screen of the program beside the main window the first time and where the
// operator last put it afterwards, inside the desktop, and remembers those places for the
// settings file. Any screen takes part by registering under its name.
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
