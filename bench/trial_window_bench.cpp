// A trial through the real main window at real time on the simulated rig: 60 s at 1 ms in
// cycles of 2000 (a length in seconds as the first argument), live trace and Auto Save on,
// the trial's files written as it runs. Prints how late the samples were taken (as the
// acquisition benchmark does), the time from the sample that made each push final to the
// push being shown on the Pushes screen (p50, p99, max), the CPU used per second of measuring
// and the trial's memory per sample.
#include <sys/resource.h>

#include <QApplication>
#include <QEventLoop>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <utility>
#include <vector>

#include "measure/ui/main_window.h"
#include "trial_window.h"

namespace {

double CpuSeconds() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
         static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

}  // namespace

int main(int argc, char** argv) {
  using velquor::bench::NowNs;
  using velquor::bench::Percentile;
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  const double seconds = velquor::bench::TrialSeconds(argc, argv);
  velquor::bench::TrialWindow trial(1, seconds);
  if (!trial.workdir.ok()) {
    std::fprintf(stderr, "cannot prepare the working directory\n");
    return 1;
  }
  velquor::ui::Form1& window = trial.window;
  velquor::bench::TimedRig& rig = trial.rig;
  const velquor::bench::CycleTally& t = trial.tally;

  // When each push was shown; set against its sample's read once the run is over, as the
  // reads are noted on the acquisition thread meanwhile.
  std::vector<std::pair<std::int64_t, std::int64_t>> shown;  // ns, sample
  QObject::connect(&window, &velquor::ui::Form1::trialPushesShown, &window,
                   [&](const std::vector<std::int64_t>& finals) {
                     const std::int64_t now = NowNs();
                     for (std::int64_t n : finals) shown.emplace_back(now, n);
                   });
  std::size_t bytes = 0;
  std::int64_t samples = 0;
  QEventLoop run;
  QObject::connect(&window, &velquor::ui::Form1::runEnded, &run, [&] {
    bytes = window.session().TrialMemoryBytes();
    samples = window.session().TrialSamples();
    run.quit();
  });
  rig.read_ns.clear();
  const double cpu0 = CpuSeconds();
  const auto wall0 = std::chrono::steady_clock::now();
  window.StartAction();
  run.exec();
  const double cpu = CpuSeconds() - cpu0;
  std::vector<double> shown_ms;
  for (const auto& [at, n] : shown) {
    const auto k = static_cast<std::size_t>(n - 1);
    if (k < rig.read_ns.size()) shown_ms.push_back(static_cast<double>(at - rig.read_ns[k]) / 1e6);
  }
  const double wall =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - wall0).count();
  std::printf(
      "trial of %.0f s at 1 ms through the main window: %d cycles x 2000, %lld samples\n%s"
      "  lateness, worst cycle: p50 %.3f ms, p99 %.3f ms, max %.3f ms; %d samples late; gap %lld "
      "samples in all\n"
      "  push final -> shown on the Pushes screen (%zu pushes): p50 %.1f ms, p99 %.1f ms, max "
      "%.1f ms\n"
      "  CPU %.1f %% of a core (%.3f s per second of measuring)\n"
      "  trial memory %.1f bytes per sample (%zu bytes)\n",
      seconds, t.cycles, static_cast<long long>(samples), t.lines.c_str(), t.worst_p50, t.worst_p99,
      t.worst, t.late, static_cast<long long>(t.gap), shown_ms.size(), Percentile(shown_ms, 0.5),
      Percentile(shown_ms, 0.99),
      shown_ms.empty() ? 0.0 : *std::max_element(shown_ms.begin(), shown_ms.end()),
      100.0 * cpu / wall, cpu / wall, samples > 0 ? static_cast<double>(bytes) / samples : 0.0,
      bytes);
  return 0;
}
