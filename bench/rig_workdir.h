// The working directory of a benchmark that measures through the main window: a scratch
// directory holding the simulated rig's calibration and a "data" folder for Auto Save.
#pragma once

#include <QDir>
#include <QString>
#include <QTemporaryDir>

#include "common/text_file.h"
#include "daq/sim_rig.h"
#include "files/calibration_file.h"

namespace velquor::bench {

// Enters the scratch directory for its lifetime and goes back to where it was at the end.
// The rig's gauges give about 20 Nm per volt, so its pushes come out as real torques.
class RigWorkdir {
 public:
  RigWorkdir() : old_(QDir::currentPath()) {
    QDir::setCurrent(dir_.path());
    Calibration cal = Calibration::DesignTime();
    cal.Ka1 = {SimRig::kNmPerVolt, SimRig::kNmPerVolt};
    cal.loaded = true;
    ok_ = static_cast<bool>(WriteShiftJisFile(kCalibrationFileName, CalibrationText(cal).text)) &&
          QDir().mkpath("data");
  }
  ~RigWorkdir() { QDir::setCurrent(old_); }
  RigWorkdir(const RigWorkdir&) = delete;
  RigWorkdir& operator=(const RigWorkdir&) = delete;

  bool ok() const { return ok_; }

 private:
  QTemporaryDir dir_;
  QString old_;
  bool ok_ = false;
};

}  // namespace velquor::bench
