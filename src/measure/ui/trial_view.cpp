#include "measure/ui/trial_view.h"

#include <vector>

#include "analysis/trial_pushes.h"
#include "analysis/ui/pushes_screen.h"
#include "plot/push_graphs.h"
#include "ui_kit/form_kit.h"

namespace velquor::ui {

TrialView::TrialView(const Calibration& cal, Form8& pushes,
                     std::function<void(const QString&)> notice, QObject* parent)
    : QObject(parent), cal_(cal), pushes_(pushes), notice_(std::move(notice)) {
  connect(&pushes_, &Form8::applied, this, [this] {
    // Only while the trial shown is this one: a running trial takes its parameters itself.
    if (trial_ && !pushes_.TrialLive() && pushes_.TrialSource() == trial_->path) Show();
  });
}

bool TrialView::View(const std::string& path, bool shift) {
  auto loaded = LoadTrialCsv(path, cal_, shift);
  if (!loaded) {
    notice_("Data View: " + ToQ(loaded.problem().Describe()) + "; the trial was not shown");
    return false;
  }
  for (const Problem& p : loaded.value().notices) notice_("Data View: " + ToQ(p.Describe()));
  trial_ = std::make_shared<const LoadedTrial>(std::move(loaded.value()));
  pushes_.ChooseTrial();  // asked for: shown even where "the last cycle" was chosen
  Show();
  return true;
}

void TrialView::Show() {
  auto a = AnalyseTrial(*trial_->series, pushes_.Parameters());
  if (!a) {
    notice_("Pushes: the trial " + ToQ(trial_->path) +
            " could not be analysed: " + ToQ(a.problem().what));
    return;
  }
  std::vector<double> markers;
  for (const TrialCsvMarker& m : trial_->markers) {
    markers.push_back(static_cast<double>(m.sample) * trial_->series->Dt());
  }
  pushes_.SetTrialSource(trial_->path);
  pushes_.SetTrialTorque(
      [trial = trial_, markers, &pushes = pushes_](PlotFrame& frame, const PushAnalysis& shown) {
        DrawTrialTorqueGraph(frame, *trial->series, shown, markers, pushes.GraphColours());
      });
  pushes_.ShowTrial(a.value(), false);
  pushes_.show();
  pushes_.raise();
  notice_("Showing the trial " + ToQ(trial_->path));
}

}  // namespace velquor::ui
