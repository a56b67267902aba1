// The desktop program's own measurement run through the real main window at 1 ms: how long
// the after-cycle chain takes on the UI thread for 2000 samples (analysis, the seven graphs
// and the stroke graph drawn, both tables), and what each step of it costs, the painting
// and the writing of both data files included.
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QEventLoop>
#include <QLineEdit>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <vector>

#include "analysis/kinematics.h"
#include "analysis/result_texts.h"
#include "analysis/strokes.h"
#include "analysis/ui/calc_results.h"
#include "analysis/ui/pushes_screen.h"
#include "files/data_files.h"
#include "files/save_stamp.h"
#include "files/ui/file_option.h"
#include "measure/ui/main_window.h"
#include "plot/main_graphs.h"
#include "plot/stroke_graph.h"
#include "plot/ui/picture_base.h"
#include "rig_workdir.h"
#include "timed_rig.h"
#include "ui_kit/form_kit.h"
#include "workspace/workspace.h"

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
  velquor::bench::RigWorkdir workdir;
  if (!workdir.ok()) {
    std::fprintf(stderr, "cannot prepare the working directory\n");
    return 1;
  }

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

    // From the last sample of a cycle to the end of its chain: handing the cycle over to
    // the UI thread, then the chain itself. The samples' own timing is acquisition_bench's.
    std::vector<double> chain_ms;
    for (int c = 0; c < kCycles; ++c) {
      const std::size_t last = static_cast<std::size_t>(c + 1) * kSamples - 1;
      if (rig.read_ns.size() <= last || cycle_end_ns.size() <= static_cast<std::size_t>(c)) break;
      chain_ms.push_back(static_cast<double>(cycle_end_ns.at(c) - rig.read_ns[last]) / 1e6);
    }
    std::printf(
        "after-cycle chain on the UI thread, %d samples (hand-over, kinematics, 7 graphs "
        "drawn, tables, strokes, stroke graph; the files go to the save worker):\n"
        "  median %.2f ms, max %.2f ms over %zu cycles\n",
        kSamples, Percentile(chain_ms, 0.5),
        chain_ms.empty() ? 0.0 : *std::max_element(chain_ms.begin(), chain_ms.end()),
        chain_ms.size());
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
        MedianMs([&] {
          (void)velquor::SaveDataFiles(w.naming, 0, w.record, w.series, w.strokes,
                                       velquor::CurrentStamp(), velquor::WhenTaken::kReplace);
        }));
    // Durations of a few samples, so that every push the rig made counts whatever time one
    // of its reads stands for.
    velquor::PushParameters pp;
    pp.min_push = 5 * w.record.SampInterval / 1000;
    pp.merge_gap = 3 * w.record.SampInterval / 1000;
    window.Pushes().SetParameters(pp);
    const double push_ms =
        MedianMs([&] { window.Pushes().ShowPushes(w.record, w.series, w.kin, w.GraphColor, ""); });
    const auto& shown = window.Pushes().Shown();
    std::printf(
        "  Pushes screen (analysis, both tables, both graphs recorded, %d pushes) %.2f ms\n",
        shown ? shown->wheels[0].summary.pushes + shown->wheels[1].summary.pushes : 0, push_ms);
  }
  return 0;
}
