// Trial speed and memory: a 10-minute trial at 1 ms from the simulated rig appended to the
// trial series and followed by the live push detector as fast as possible, for both wheels.
#include <benchmark/benchmark.h>

#include <array>
#include <cstdint>
#include <vector>

#include "analysis/sim_trial.h"
#include "analysis/trial_pushes.h"

namespace {

using namespace velquor;

constexpr double kIntervalMs = 1;
constexpr std::int64_t kSamples = 600000;  // 10 minutes at 1 ms

// The rig's samples made once, so that only the trial's own work is timed.
struct RigSamples {
  std::vector<std::array<float, 2>> volt;
  std::vector<std::array<std::uint16_t, 2>> enc;
  RigSamples() {
    sim::RigTrial rig(1, kIntervalMs);
    volt.resize(kSamples);
    enc.resize(kSamples);
    for (std::int64_t i = 0; i < kSamples; ++i) {
      rig.Sample(i + 1, volt[static_cast<std::size_t>(i)], enc[static_cast<std::size_t>(i)]);
    }
  }
};

const RigSamples& Samples() {
  static const RigSamples samples;
  return samples;
}

// Every sample appended, the detector following after each `range(0)` samples as a consumer
// thread would after each batch it takes, then the end. Time per sample is for both wheels.
void BM_TrialLive(benchmark::State& state) {
  const RigSamples& rig = Samples();
  const auto batch = static_cast<std::int64_t>(state.range(0));
  std::size_t pushes = 0, bytes = 0;
  for (auto _ : state) {
    TrialSeries series(kIntervalMs, sim::RigCalibration(), false);
    Result<TrialPushes> live = TrialPushes::Start(series, PushParameters{});
    if (!live) {
      state.SkipWithError(live.problem().what.c_str());
      break;
    }
    for (std::int64_t i = 0; i < kSamples; ++i) {
      const auto k = static_cast<std::size_t>(i);
      series.Append(rig.volt[k], rig.enc[k]);
      if ((i + 1) % batch == 0) live.value().Follow();
    }
    live.value().End();
    pushes = live.value().Pushes(0).size() + live.value().Pushes(1).size();
    bytes = series.MemoryBytes() +
            (live.value().Pushes(0).capacity() + live.value().Pushes(1).capacity()) * sizeof(Push);
    benchmark::DoNotOptimize(pushes);
  }
  state.SetItemsProcessed(state.iterations() * kSamples);
  state.counters["ns_per_sample"] = benchmark::Counter(
      static_cast<double>(kSamples),
      benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
  state.counters["bytes_per_sample"] = static_cast<double>(bytes) / kSamples;
  state.counters["pushes"] = static_cast<double>(pushes);
}
BENCHMARK(BM_TrialLive)->Arg(1)->Arg(50)->Unit(benchmark::kMillisecond);

// The live detector alone over a trial already kept: its share of the cost per sample.
void BM_TrialDetectorOnly(benchmark::State& state) {
  const RigSamples& rig = Samples();
  TrialSeries series(kIntervalMs, sim::RigCalibration(), false);
  for (std::size_t k = 0; k < rig.volt.size(); ++k) series.Append(rig.volt[k], rig.enc[k]);
  std::size_t pushes = 0;
  for (auto _ : state) {
    Result<TrialPushes> live = TrialPushes::Start(series, PushParameters{});
    if (!live) {
      state.SkipWithError(live.problem().what.c_str());
      break;
    }
    live.value().Follow();
    live.value().End();
    pushes = live.value().Pushes(0).size() + live.value().Pushes(1).size();
    benchmark::DoNotOptimize(pushes);
  }
  state.counters["ns_per_sample"] = benchmark::Counter(
      static_cast<double>(kSamples),
      benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
  state.counters["pushes"] = static_cast<double>(pushes);
}
BENCHMARK(BM_TrialDetectorOnly)->Unit(benchmark::kMillisecond);

// The summary and mean curve of a finished trial's pushes, as a screen asks for them.
void BM_TrialAnalysis(benchmark::State& state) {
  const RigSamples& rig = Samples();
  TrialSeries series(kIntervalMs, sim::RigCalibration(), false);
  for (std::size_t k = 0; k < rig.volt.size(); ++k) series.Append(rig.volt[k], rig.enc[k]);
  Result<TrialPushes> live = TrialPushes::Start(series, PushParameters{});
  if (!live) {
    state.SkipWithError(live.problem().what.c_str());
    return;
  }
  live.value().End();
  for (auto _ : state) benchmark::DoNotOptimize(live.value().Analysis());
}
BENCHMARK(BM_TrialAnalysis)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
