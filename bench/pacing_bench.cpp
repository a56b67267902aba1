// Pacing harness: runs the measurement loop on the simulated rig with the real clock and
// prints how late each sample was taken against its tick, and the passes per second.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <vector>

#include "daq/device_access.h"
#include "daq/sim_rig.h"
#include "measure/main_loop.h"
#include "timed_rig.h"

namespace {

using velquor::bench::NowNs;
using velquor::bench::Percentile;
using velquor::bench::TimedRig;

class BenchHost : public velquor::LoopHost {
 public:
  explicit BenchHost(velquor::MeasurementRecord& rec) : rec_(rec) {}
  std::int64_t passes = 0;
  std::uint32_t start_ms = 0;
  bool started = false;
  void ProcessEvents() override { ++passes; }
  std::uint32_t ClockMs() override {
    auto ms = static_cast<std::uint32_t>(NowNs() / 1000000);
    if (!started) {
      start_ms = ms;
      started = true;
    }
    return ms;
  }
  void SetTimerLamp(velquor::Rgb) override {}
  void SetStartStop(bool, bool) override {}
  void AfterCycle() override { rec_.StopFlag = true; }

 private:
  velquor::MeasurementRecord& rec_;
};

void Run(int interval_ms, int samples) {
  auto rec = std::make_unique<velquor::MeasurementRecord>();
  velquor::DeviceState dev;
  velquor::TimerRecord timer;
  TimedRig rig;
  velquor::CardSettingTexts texts;
  velquor::OpenAioCard(rig, dev, texts);
  velquor::OpenDioCard(rig, dev, texts);
  rec->SampInterval = interval_ms;
  rec->DataNum = static_cast<float>(samples);
  BenchHost host(*rec);
  const std::int64_t t0 = NowNs();
  velquor::MainLoop({*rec, dev, timer, rig}, host);
  const double seconds = static_cast<double>(NowNs() - t0) / 1e9;

  std::vector<double> late_ms;
  for (std::size_t k = 0; k < rig.read_ns.size(); ++k) {
    const std::int64_t due_ns = (static_cast<std::int64_t>(host.start_ms) +
                                 static_cast<std::int64_t>(k + 1) * interval_ms) *
                                1000000;
    late_ms.push_back(static_cast<double>(rig.read_ns[k] - due_ns) / 1e6);
  }
  auto pct = [&](double p) { return Percentile(late_ms, p); };
  std::printf(
      "interval %2d ms, %4zu samples: lateness median %.4f ms, p99 %.4f ms, max %.4f ms; %.0f "
      "passes/s\n",
      interval_ms, late_ms.size(), pct(0.5), pct(0.99), Percentile(late_ms, 1.0),
      static_cast<double>(host.passes) / seconds);
}

}  // namespace

int main() {
  Run(1, 2000);
  Run(20, 200);
  return 0;
}
