// A realistic measurement for file tests: samples from the simulated rig, analysed as after
// a live cycle, with the calibration the rig's gauges call for.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "analysis/analyse_record.h"
#include "analysis/strokes.h"
#include "daq/sim_rig.h"
#include "measure/quick_record.h"

namespace velquor::testing {

struct SimMeasurement {
  std::unique_ptr<MeasurementRecord> rec = std::make_unique<MeasurementRecord>();
  std::unique_ptr<DerivedSeries> series = std::make_unique<DerivedSeries>();
  KinematicsResults kin;
  StrokeResults strokes;
  Calibration cal = Calibration::DesignTime();
  // As the boxes may hold them: only the leading number counts.
  StrokeConditions cond = ReadStrokeConditions("1 s", "2 Nm", JudgeChannel::kAuto);

  // Runs the analysis again on what the record and series hold now.
  void Analyse() {
    RecordAnalysis out{*series, kin, strokes};
    ASSERT_FALSE(AnalyseRecord(*rec, cal, {false, cond, std::nullopt}, out));
  }
};

inline std::unique_ptr<SimMeasurement> Simulate(std::uint64_t seed, int n,
                                                double interval_ms = 20) {
  auto m = std::make_unique<SimMeasurement>();
  SimRig rig(seed, interval_ms / 1000.0);
  QuickRecord(rig, *m->rec, n, interval_ms);
  m->cal.Ka1 = {SimRig::kNmPerVolt, SimRig::kNmPerVolt};
  m->cal.Ka0 = {-0.25, 0.125};
  m->Analyse();
  return m;
}

}  // namespace velquor::testing
