// "View" of a trial's per-sample file: the trial read back under the calibration in force,
// its pushes analysed as one record and shown on the Pushes screen with its torque, and
// analysed again when the screen's parameters are applied.
#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <memory>
#include <string>

#include "files/trial_file_reader.h"
#include "record/calibration.h"

namespace velquor::ui {

class Form8;

class TrialView : public QObject {
  Q_OBJECT

 public:
  TrialView(const Calibration& cal, Form8& pushes, std::function<void(const QString&)> notice,
            QObject* parent);

  // Reads the trial (stored form) with the calibration in force and `shift`, and shows it;
  // a trial that cannot be read is named in a notice and the screen keeps what it shows.
  bool View(const std::string& path, bool shift);

 private:
  // Analyses the trial with the screen's parameters and shows it.
  void Show();

  const Calibration& cal_;
  Form8& pushes_;
  std::function<void(const QString&)> notice_;
  std::shared_ptr<const LoadedTrial> trial_;
};

}  // namespace velquor::ui
