// Analysis speed: kinematics and stroke detection of a full 2000-sample record from the
// simulated rig, the work done after every measurement cycle before the graphs.
#include <benchmark/benchmark.h>

#include <memory>

#include "analysis/kinematics.h"
#include "analysis/strokes.h"
#include "daq/sim_rig.h"
#include "measure/quick_record.h"

namespace {

using namespace velquor;

std::unique_ptr<MeasurementRecord> RigRecord() {
  auto rec = std::make_unique<MeasurementRecord>();
  SimRig rig(1);
  QuickRecord(rig, *rec, kMaxSamples, 20);
  return rec;
}

// A rig record calibrated as the rig is, with the series and results made once.
struct Analysed {
  std::unique_ptr<MeasurementRecord> rec = RigRecord();
  Calibration cal;
  std::unique_ptr<DerivedSeries> s = std::make_unique<DerivedSeries>();
  KinematicsResults kin;
  StrokeResults strokes;
  StrokeConditions cond = ReadStrokeConditions("1", "2", JudgeChannel::kAuto);

  Analysed() { cal.Ka1 = {SimRig::kNmPerVolt, SimRig::kNmPerVolt}; }
  bool Run(bool kinematics) {
    return (!kinematics || CalcKinematics(*rec, cal, false, *s, kin)) &&
           CalcStrokes(cond, *rec, *s, kin, strokes);
  }
};

// The whole analysis after a measurement cycle, before the graphs.
void BM_KinematicsAndStrokes(benchmark::State& state) {
  Analysed a;
  for (auto _ : state) {
    if (!a.Run(true)) state.SkipWithError("the record was refused");
    benchmark::DoNotOptimize(a.strokes);
    benchmark::ClobberMemory();
  }
  state.counters["strokes"] = a.strokes.StrokeCount;
}
BENCHMARK(BM_KinematicsAndStrokes)->Unit(benchmark::kMicrosecond);

// Only the stroke detector and statistics, as when the conditions change on the screen.
void BM_Strokes(benchmark::State& state) {
  Analysed a;
  if (!a.Run(true)) state.SkipWithError("the record was refused");
  for (auto _ : state) {
    if (!a.Run(false)) state.SkipWithError("the record was refused");
    benchmark::DoNotOptimize(a.strokes);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_Strokes)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
