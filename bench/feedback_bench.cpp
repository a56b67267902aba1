// The Feedback screen through the real main window at real time on the simulated rig: a trial
// at 5 ms (60 s, or the seconds of the first argument) with the screen shown at 1920 x 1080
// and four variables. Prints the time from the sample that made each push final to the
// screen's next repaint with it (p50, p99, max) and how late the samples were taken.
#include <QApplication>
#include <QEvent>
#include <QEventLoop>
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "analysis/ui/feedback_screen.h"
#include "analysis/ui/feedback_tile.h"
#include "measure/ui/main_window.h"
#include "trial_window.h"

namespace {

// Notes the moment a watched tile is painted.
class PaintWatch : public QObject {
 public:
  std::vector<std::int64_t> painted_ns;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint) painted_ns.push_back(velquor::bench::NowNs());
    return QObject::eventFilter(watched, event);
  }
};

}  // namespace

int main(int argc, char** argv) {
  using velquor::bench::NowNs;
  using velquor::bench::Percentile;
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  const double seconds = velquor::bench::TrialSeconds(argc, argv);
  velquor::bench::TrialWindow trial(5, seconds);
  if (!trial.workdir.ok()) {
    std::fprintf(stderr, "cannot prepare the working directory\n");
    return 1;
  }
  velquor::ui::Form1& window = trial.window;
  velquor::bench::TimedRig& rig = trial.rig;

  velquor::ui::FeedbackScreen& feedback = window.Feedback();
  feedback.resize(1920, 1080);
  feedback.show();
  PaintWatch watch;
  std::vector<std::pair<std::int64_t, std::int64_t>> given;  // ns, sample that made it final
  QObject::connect(&window, &velquor::ui::Form1::feedbackGiven, &window,
                   [&](std::int64_t sample) { given.emplace_back(NowNs(), sample); });

  QEventLoop run;
  QObject::connect(&window, &velquor::ui::Form1::runEnded, &run, &QEventLoop::quit);
  rig.read_ns.clear();
  window.StartAction();
  // Every tile changes with every push shown.
  for (auto* tile : feedback.findChildren<velquor::ui::FeedbackTile*>()) {
    tile->installEventFilter(&watch);
  }
  run.exec();

  // Each push given is on screen at the first repaint after it was handed over.
  std::vector<double> shown_ms;
  std::sort(watch.painted_ns.begin(), watch.painted_ns.end());
  for (const auto& [at, sample] : given) {
    const auto k = static_cast<std::size_t>(sample - 1);
    const auto paint = std::lower_bound(watch.painted_ns.begin(), watch.painted_ns.end(), at);
    if (k >= rig.read_ns.size() || paint == watch.painted_ns.end()) continue;
    shown_ms.push_back(static_cast<double>(*paint - rig.read_ns[k]) / 1e6);
  }
  std::printf(
      "feedback at 5 ms for %.0f s through the main window, the Feedback screen at 1920 x 1080 "
      "with %zu variables: %d cycles\n"
      "  push final -> Feedback screen repainted (%zu of %zu pushes): p50 %.1f ms, p99 %.1f ms, "
      "max %.1f ms\n"
      "  lateness, worst cycle: p99 %.3f ms, max %.3f ms; %d samples late\n",
      seconds, feedback.Settings().targets.size(), trial.tally.cycles, shown_ms.size(),
      given.size(), Percentile(shown_ms, 0.5), Percentile(shown_ms, 0.99),
      shown_ms.empty() ? 0.0 : *std::max_element(shown_ms.begin(), shown_ms.end()),
      trial.tally.worst_p99, trial.tally.worst, trial.tally.late);
  return 0;
}
