// The one shared workspace the program owns: every subsystem's state in one object, made
// once at start-up. Routines take the parts they read and write as parameters.
#pragma once

#include <array>
#include <memory>

#include "analysis/series.h"
#include "common/colors.h"
#include "daq/device_state.h"
#include "files/naming.h"
#include "record/calibration.h"
#include "record/record.h"

namespace velquor {

struct Workspace {
  MeasurementRecord record;
  DeviceState device;
  DerivedSeries series;
  KinematicsResults kin;
  StrokeConditions strokeConditions;
  StrokeResults strokes;
  Calibration calibration = Calibration::DesignTime();
  FileNaming naming;
  std::array<Rgb, 3> GraphColor = kDefaultGraphColor;

  // The workspace is large (fixed arrays of every series), so it lives on the heap.
  static std::unique_ptr<Workspace> Make() { return std::make_unique<Workspace>(); }
};

}  // namespace velquor
