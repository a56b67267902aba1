// The kinematics computation: from encoder counts and strain-gauge voltages to the derived
// series (torque, wheel angle, distance, speed, power, heading, path) and whole-record results.
#pragma once

#include "analysis/series.h"
#include "common/result.h"
#include "record/calibration.h"
#include "record/record.h"

namespace velquor {

// Fills samples 1..DataNum of every series and all of `kin`. With `shift` (the "Shift" box)
// the calibration offset Ka0 is left out of the torque. Sample 1 is the origin: angles,
// distances, heading and position 0, and the step quantities (speed, power, turning rate) 0.
// When the record cannot be analysed (see CheckAnalysisCondition) nothing is touched and the
// problem names the value.
Status CalcKinematics(const MeasurementRecord& rec, const Calibration& cal, bool shift,
                      DerivedSeries& s, KinematicsResults& kin);

}  // namespace velquor
