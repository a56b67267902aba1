// The desktop program's own measurement run: the real main window and its loop host, with
// Qt serving its events at every pass. Prints how late the samples are taken at 1 ms, how
// long the whole after-cycle chain takes for 2000 samples (analysis, the seven graphs and
// the stroke graph drawn and painted, both tables, and both data files written), how long
// the first pass after it takes, and what each step of the chain costs.
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QEventLoop>
#include <QLineEdit>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <vector>

#include "analysis/kinematics.h"
#include "analysis/result_texts.h"
#include "analysis/strokes.h"
#include "analysis/ui/calc_results.h"
#include "common/text_file.h"
#include "common/workspace.h"
#include "daq/sim_rig.h"
#include "daq/ui/form_kit.h"
#include "files/calibration_file.h"
#include "files/ui/file_option.h"
#include "measure/ui/main_window.h"
#include "plot/main_graphs.h"
#include "plot/stroke_graph.h"
#include "plot/ui/picture_base.h"
#include "timed_rig.h"

namespace {

using velquor::bench::NowNs;
using velquor::bench::Percentile;
using velquor::bench::TimedRig;

template <class F>
double MedianMs(F&& step) {
  std::vector<double> ms;
  for (int i = 0; i < 11; ++i) {
    const std::int64_t t0 = NowNs();
    step();
    ms.push_back(static_cast<double>(NowNs() - t0) / 1e6);
  }
  std::sort(ms.begin(), ms.end());
  return ms[ms.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  QTemporaryDir dir;
  const QString old = QDir::currentPath();
  QDir::setCurrent(dir.path());
  // The rig's gauges give about 20 Nm per volt: real torques, real strokes.
  velquor::Calibration cal = velquor::Calibration::DesignTime();
  cal.Ka1 = {velquor::SimRig::kNmPerVolt, velquor::SimRig::kNmPerVolt};
  cal.loaded = true;
  if (!velquor::WriteShiftJisFile(velquor::kCalibrationFileName, CalibrationText(cal).text)) {
    std::fprintf(stderr, "cannot write the calibration file\n");
    return 1;
  }
  QDir().mkpath("data");

  constexpr int kSamples = 2000;
  constexpr int kCycles = 5;
  auto ws = velquor::Workspace::Make();
  TimedRig rig;
  {
    velquor::ui::Form1 window(*ws, rig, "timed simulated rig");
    window.StartUp();
    window.show();
    window.txtTimerInterval->setText("1");
    window.txtDataNum->setText(QString::number(kSamples));
    window.CalcResults().txtStartPosCond->setText("0");
    window.FileOption().txtFileDir->setText(QDir::current().filePath("data"));
    window.FileOption().txtFileHead->setText("RUN");
    window.FileOption().txtFileOrg->setText("1");
    window.chkAutoDataSave->setChecked(true);

    std::vector<std::int64_t> cycle_end_ns;
    QObject::connect(&window, &velquor::ui::Form1::cycleFinished, &window, [&] {
      cycle_end_ns.push_back(NowNs());
      if (static_cast<int>(cycle_end_ns.size()) == kCycles) window.StopAction();
    });
    QEventLoop run;
    QObject::connect(&window, &velquor::ui::Form1::runEnded, &run, &QEventLoop::quit);
    window.StartAction();
    run.exec();

    // The ticks lie on whole milliseconds of the steady clock from the loop's start; no
    // sample is taken before its tick, so each cycle's grid start is the smallest
    // (millisecond of the read - sample number).
    std::vector<double> late_ms, chain_ms, repaint_ms;
    for (int c = 0; c < kCycles; ++c) {
      const std::size_t first = static_cast<std::size_t>(c) * kSamples;
      if (rig.read_ns.size() < first + kSamples) break;
      std::int64_t start_ms = INT64_MAX;
      for (int k = 1; k <= kSamples; ++k) {
        start_ms = std::min(start_ms, rig.read_ns[first + k - 1] / 1000000 - k);
      }
      for (int k = 1; k <= kSamples; ++k) {
        const std::int64_t due_ns = (start_ms + k) * 1000000;
        late_ms.push_back(static_cast<double>(rig.read_ns[first + k - 1] - due_ns) / 1e6);
      }
      const std::int64_t last_read = rig.read_ns[first + kSamples - 1];
      chain_ms.push_back(static_cast<double>(cycle_end_ns.at(c) - last_read) / 1e6);
      if (rig.read_ns.size() > first + kSamples) {
        // The next cycle's first sample is due 1 ms after the chain; what is beyond that
        // went on the first pass's events.
        const double gap = static_cast<double>(rig.read_ns[first + kSamples] - cycle_end_ns.at(c));
        repaint_ms.push_back(std::max(0.0, gap / 1e6 - 1.0));
      }
    }
    std::printf(
        "pacing at 1 ms through the window's loop host, %zu samples in %d cycles:\n"
        "  lateness median %.4f ms, p99 %.4f ms, max %.4f ms\n",
        late_ms.size(), kCycles, Percentile(late_ms, 0.5), Percentile(late_ms, 0.99),
        late_ms.empty() ? 0.0 : *std::max_element(late_ms.begin(), late_ms.end()));
    std::printf(
        "after-cycle chain, %d samples (kinematics, 7 graphs drawn and painted, tables, "
        "strokes, stroke graph, both data files):\n  median %.2f ms, max %.2f ms over %zu cycles\n",
        kSamples, Percentile(chain_ms, 0.5),
        chain_ms.empty() ? 0.0 : *std::max_element(chain_ms.begin(), chain_ms.end()),
        chain_ms.size());
    std::printf(
        "first pass after the chain, beyond the 1 ms the first sample waits anyway:\n"
        "  median %.2f ms, max %.2f ms\n",
        Percentile(repaint_ms, 0.5),
        repaint_ms.empty() ? 0.0 : *std::max_element(repaint_ms.begin(), repaint_ms.end()));
    std::printf("strokes found in the last cycle: %d\n", ws->strokes.StrokeCount);

    // The chain's steps one by one on the last cycle's record (median of 11 runs each).
    velquor::Workspace& w = *ws;
    std::array<velquor::PlotFrame*, velquor::kMainGraphCount> frames{};
    for (std::size_t k = 0; k < frames.size(); ++k) frames[k] = &window.Picture_base[k]->frame();
    velquor::PlotFrame& strokeFrame = window.CalcResults().Picture_base->frame();
    const velquor::StrokeConditions cond = window.CalcResults().ReadConditions();
    std::printf(
        "  the steps: kinematics %.2f ms, 7 graphs recorded %.2f ms, strokes %.2f ms, "
        "stroke graph %.2f ms,\n  tables %.2f ms, 7 graphs painted %.2f ms, both data "
        "files %.2f ms\n",
        MedianMs([&] {
          (void)velquor::CalcKinematics(w.record, w.calibration, false, w.series, w.kin);
        }),
        MedianMs([&] { velquor::DrawMainGraphs(frames, w.record, w.series, w.kin, w.GraphColor); }),
        MedianMs([&] { (void)velquor::CalcStrokes(cond, w.record, w.series, w.kin, w.strokes); }),
        MedianMs([&] {
          velquor::DrawStrokeGraph(strokeFrame, w.record, w.series, w.kin, w.strokes, w.GraphColor);
        }),
        MedianMs([&] { window.CalcResults().ShowStrokeResults(); }), MedianMs([&] {
          for (auto* frame : window.Picture_base) frame->pctFig()->repaint();
        }),
        MedianMs([&] { (void)window.FileOption().SaveDataFiles(); }));
  }
  QDir::setCurrent(old);
  return 0;
}
