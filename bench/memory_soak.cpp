// The desktop program's memory over a long run: the real main window on the simulated rig
// with Auto Save on, short cycles (a few samples at 1 ms) one after the other, the resident
// size read from /proc/self/status every 100 cycles. A program that keeps something per cycle
// shows it here as a line that climbs.
// usage: memory_soak [CYCLES (2000)] [SAMPLES (2)]
#include <QApplication>
#include <QEventLoop>
#include <QLineEdit>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "auto_save_window.h"
#include "daq/sim_rig.h"
#include "measure/ui/main_window.h"
#include "measure/ui/notice_log.h"
#include "rig_workdir.h"
#include "workspace/workspace.h"

namespace {

long ResidentKb() {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);) {
    if (line.rfind("VmRSS:", 0) == 0) return std::atol(line.c_str() + 6);
  }
  return -1;
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  const int cycles = argc > 1 ? std::max(100, std::atoi(argv[1])) : 2000;
  const int samples = argc > 2 ? std::clamp(std::atoi(argv[2]), 2, 2000) : 2;
  velquor::bench::RigWorkdir workdir;
  if (!workdir.ok()) {
    std::fprintf(stderr, "cannot prepare the working directory\n");
    return 1;
  }
  auto ws = velquor::Workspace::Make();
  velquor::SimRig rig(1);
  velquor::ui::Form1 window(*ws, rig, "simulated rig");
  velquor::bench::StartAutoSaving(window);
  window.txtTimerInterval->setText("1");
  window.txtDataNum->setText(QString::number(samples));

  int done = 0;
  long first_kb = 0;
  std::printf("cycles  VmRSS kB  notices kept\n");
  QObject::connect(&window, &velquor::ui::Form1::cycleFinished, &window, [&] {
    if (++done % 100 == 0) {
      const long kb = ResidentKb();
      if (first_kb == 0) first_kb = kb;
      std::printf("%6d  %8ld  %12lld\n", done, kb,
                  static_cast<long long>(window.Notices().entries().size()));
      std::fflush(stdout);
    }
    if (done == cycles) window.StopAction();
  });
  QEventLoop run;
  QObject::connect(&window, &velquor::ui::Form1::runEnded, &run, &QEventLoop::quit);
  window.StartAction();
  run.exec();
  const long last_kb = ResidentKb();
  std::printf(
      "%d cycles of %d samples at 1 ms: VmRSS %ld kB after 100 cycles, %ld kB at the "
      "end (%+.2f kB per cycle after the first 100)\n",
      done, samples, first_kb, last_kb,
      done > 100 ? static_cast<double>(last_kb - first_kb) / (done - 100) : 0.0);
  return 0;
}
