// The acquisition engine through the real main window, live trace on, automatic save on,
// on the simulated rig: 5 cycles of 2000 samples at 1 ms, three ways (the machine idle; the
// UI thread repainting all seven graphs 30 times a second; another process keeping a core
// busy), then 200 samples at 20 ms. Prints each cycle's timing line, the worst of them, and
// the CPU time the program used per second of measuring.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QEventLoop>
#include <QLineEdit>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "auto_save_window.h"
#include "daq/sim_rig.h"
#include "files/ui/file_option.h"
#include "measure/cycle_timing.h"
#include "measure/ui/main_window.h"
#include "measure/ui/notice_log.h"
#include "plot/ui/picture_base.h"
#include "rig_workdir.h"
#include "workspace/workspace.h"

namespace {

double CpuSeconds() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
         static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

double WallSeconds() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// Another program keeping one core busy for as long as it lives.
pid_t StartSpinner() {
  const pid_t pid = fork();
  if (pid == 0) {
    volatile unsigned long spin = 0;
    for (;;) spin = spin + 1;
  }
  return pid;
}

enum class Load { kIdle, kRepaint, kBusyCore };

void Measure(velquor::ui::Form1& window, const char* title, int interval_ms, int samples,
             int cycles, Load load) {
  window.txtTimerInterval->setText(QString::number(interval_ms));
  window.txtDataNum->setText(QString::number(samples));
  QTimer repaint;
  repaint.setInterval(33);
  QObject::connect(&repaint, &QTimer::timeout, &window, [&window] {
    for (auto* frame : window.Picture_base) frame->repaint();
  });
  if (load == Load::kRepaint) repaint.start();
  const pid_t spinner = load == Load::kBusyCore ? StartSpinner() : -1;

  int done = 0, late = 0;
  std::int64_t gap = 0;
  double worst_p50 = 0, worst_p99 = 0, worst = 0;
  std::string lines;
  const auto counted = QObject::connect(&window, &velquor::ui::Form1::cycleFinished, &window, [&] {
    const velquor::CycleTiming& t = window.lastTiming();
    lines += "    " + velquor::TimingLine(t) + "\n";
    late += t.late;
    gap += t.gap;
    worst_p50 = std::max(worst_p50, t.p50_ms);
    worst_p99 = std::max(worst_p99, t.p99_ms);
    worst = std::max(worst, t.max_ms);
    if (++done == cycles) window.StopAction();
  });
  QEventLoop run;
  const auto ended =
      QObject::connect(&window, &velquor::ui::Form1::runEnded, &run, &QEventLoop::quit);
  const double cpu0 = CpuSeconds();
  const double wall0 = WallSeconds();
  window.StartAction();
  run.exec();
  const double cpu = CpuSeconds() - cpu0;
  const double wall = WallSeconds() - wall0;
  QObject::disconnect(counted);
  QObject::disconnect(ended);
  repaint.stop();
  if (spinner > 0) {
    kill(spinner, SIGKILL);
    waitpid(spinner, nullptr, 0);
  }
  std::printf(
      "%s: %d cycles x %d samples at %d ms\n%s  worst cycle: lateness p50 %.3f ms, p99 %.3f "
      "ms, max %.3f ms; %d samples late; gap %lld samples in all\n  CPU %.1f %% of a core "
      "(%.3f s per second of measuring)\n",
      title, done, samples, interval_ms, lines.c_str(), worst_p50, worst_p99, worst, late,
      static_cast<long long>(gap), 100.0 * cpu / wall, cpu / wall);
  std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  const int cycles = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
  velquor::bench::RigWorkdir workdir;
  if (!workdir.ok()) {
    std::fprintf(stderr, "cannot prepare the working directory\n");
    return 1;
  }
  auto ws = velquor::Workspace::Make();
  velquor::SimRig rig(1);
  {
    velquor::ui::Form1 window(*ws, rig, "simulated rig");
    velquor::bench::StartAutoSaving(window);
    // "nosave" as the second argument measures with Auto Save off, to tell the save's share.
    if (argc > 2 && std::string(argv[2]) == "nosave") window.chkAutoDataSave->setChecked(false);

    Measure(window, "idle", 1, 2000, cycles, Load::kIdle);
    Measure(window, "UI thread repainting all graphs 30 times a second", 1, 2000, cycles,
            Load::kRepaint);
    Measure(window, "another process keeping a core busy", 1, 2000, cycles, Load::kBusyCore);
    Measure(window, "idle", 20, 200, std::max(1, cycles / 2), Load::kIdle);
    const QStringList priority = window.Notices().entries().filter("priority");
    std::printf("sampling priority: %s\n",
                priority.isEmpty() ? "real-time" : qPrintable(priority.last()));
  }
  return 0;
}
