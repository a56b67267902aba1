// A trial through the real main window at real time on the simulated rig, as the trial
// benchmarks run it: the window in a scratch directory with Auto Save on, one trial of the
// seconds given at the interval given in cycles of 2000, and its cycles' timing added up.
#pragma once

#include <QLineEdit>
#include <QObject>
#include <QString>
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

#include "auto_save_window.h"
#include "measure/cycle_timing.h"
#include "measure/ui/main_window.h"
#include "rig_workdir.h"
#include "timed_rig.h"
#include "workspace/workspace.h"

namespace velquor::bench {

// The trial's length: the first argument in seconds (at least 1), or 60.
inline double TrialSeconds(int argc, char** argv) {
  return argc > 1 ? std::max(1.0, std::atof(argv[1])) : 60.0;
}

// The worst of the cycles' timing, and a line for each cycle that had a sample late.
struct CycleTally {
  int cycles = 0, late = 0;
  std::int64_t gap = 0;
  double worst_p50 = 0, worst_p99 = 0, worst = 0;
  std::string lines;

  void Add(const CycleTiming& t) {
    ++cycles;
    if (t.late > 0) lines += "    cycle " + std::to_string(cycles) + ": " + TimingLine(t) + "\n";
    late += t.late;
    gap += t.gap;
    worst_p50 = std::max(worst_p50, t.p50_ms);
    worst_p99 = std::max(worst_p99, t.p99_ms);
    worst = std::max(worst, t.max_ms);
  }
};

// Needs a running QApplication. The members are made in this order: the scratch directory is
// entered before the window reads its files there.
struct TrialWindow {
  TrialWindow(int interval_ms, double seconds) {
    // Every sample's read is noted; the notes are kept for the whole trial, never moved.
    rig.read_ns.reserve(static_cast<std::size_t>(seconds * 1000 / interval_ms) + 4000);
    StartAutoSaving(window);
    window.txtTimerInterval->setText(QString::number(interval_ms));
    window.txtDataNum->setText("2000");
    window.txtTrialLength->setText(QString::number(seconds));
    QObject::connect(&window, &ui::Form1::cycleFinished, &window,
                     [this] { tally.Add(window.lastTiming()); });
  }

  RigWorkdir workdir;
  std::unique_ptr<Workspace> ws = Workspace::Make();
  TimedRig rig;
  ui::Form1 window{*ws, rig, "simulated rig"};
  CycleTally tally;
};

}  // namespace velquor::bench
