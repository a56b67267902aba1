// Analysis speed: kinematics, stroke detection and the push-by-push analysis of a full
// 2000-sample record from the simulated rig, the work done after every measurement cycle
// before the graphs.
#include <benchmark/benchmark.h>

#include <memory>

#include "analysis/kinematics.h"
#include "analysis/push_analysis.h"
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

// Every push of both wheels with their figures, summaries and mean curves (goal < 50 us).
// The argument is skip_first: 1, the default, summarises all but the first push and draws
// their curve; 1000 leaves no steady push, so only detection and figures are timed.
void BM_PushAnalysis(benchmark::State& state) {
  Analysed a;
  if (!a.Run(true)) state.SkipWithError("the record was refused");
  PushParameters p;
  p.skip_first = static_cast<int>(state.range(0));
  int pushes = 0;
  for (auto _ : state) {
    Result<PushAnalysis> r = AnalysePushes(*a.s, *a.rec, p);
    if (!r) {
      state.SkipWithError(r.problem().what.c_str());
      break;
    }
    pushes = r.value().wheels[0].summary.pushes + r.value().wheels[1].summary.pushes;
    benchmark::DoNotOptimize(r);
    benchmark::ClobberMemory();
  }
  state.counters["pushes"] = pushes;
}
BENCHMARK(BM_PushAnalysis)->Arg(1)->Arg(1000)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
