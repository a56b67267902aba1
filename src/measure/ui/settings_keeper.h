// The desktop program's settings: the run's settings object kept as the screens change it,
// and Velquor.ini and Velquor.clb read at start-up into the screens and written back.
#pragma once

#include <QString>
#include <functional>
#include <optional>
#include <string>

#include "files/mdc_settings.h"
#include "session/session_settings.h"
#include "workspace/workspace.h"

class QCheckBox;
class QLineEdit;

namespace velquor::ui {

class Form4;
class Form5;
class Form7;
class Form8;
class FeedbackScreen;
class ScreenPlacer;

// The trial length the box holds: seconds, 0 for none (the box empty), nothing when it is not
// a number of seconds.
std::optional<double> TrialLengthOf(const QLineEdit& box);
// The box's text as line 18 keeps it: empty unless it holds a length.
std::string TrialLengthText(const QLineEdit& box);

class SettingsKeeper {
 public:
  // The screens whose texts the settings hold.
  struct Screens {
    QLineEdit& interval;
    QLineEdit& count;
    QLineEdit& time;
    QCheckBox& autoSave;
    QCheckBox& manualSave;
    QCheckBox& shift;
    Form4& fileOption;
    Form5& calibration;
    Form7& calcResults;
    Form8& pushes;
    ScreenPlacer& placer;
    QLineEdit& trialLength;
    FeedbackScreen& feedback;
    QLineEdit& participant;
    QLineEdit& session;
    QLineEdit& task;
  };
  using NoticeFn = std::function<void(const QString&)>;
  SettingsKeeper(Workspace& ws, SessionSettings& settings, Screens screens, NoticeFn notice);

  // Start-up: leftover temporary files removed, the settings and the calibration read.
  void LoadAtStartUp();
  // Each text goes in as if typed, so the file names and the condition rules follow.
  void LoadSettings();
  // Writes Velquor.ini from the settings the screens hold; at exit also the notices about
  // texts it could not store exactly, which every later write would repeat.
  void SaveSettings(bool at_exit);
  void LoadCalibration();
  // The minimal detectable changes as read: no screen edits them, and they are written back.
  const MdcSettings& Mdc() const { return mdc_; }

 private:
  Workspace& ws_;
  SessionSettings& settings_;
  Screens screens_;
  NoticeFn notice_;
  // False when a Velquor.ini that could not be read could not be kept aside either.
  bool writable_ = true;
  MdcSettings mdc_;
};

}  // namespace velquor::ui
