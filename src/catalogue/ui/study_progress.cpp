#include "catalogue/ui/study_progress.h"

#include <QDir>

#include "files/mdc_settings.h"
#include "report/progress_report.h"
#include "ui_kit/form_kit.h"

namespace velquor::ui {

void WriteProgressReport(QWidget* parent, const std::string& dir, const std::string& participant,
                         const std::string& task, const MdcSettings& mdc,
                         const std::function<void(const QString&)>& notice, JobRunner run) {
  const ProgressRequest request{dir, participant, task, {}, mdc};
  Result<ProgressReport> composed = ComposeProgress(request);
  if (!composed) {
    notice("Progress: " + ToQ(composed.problem().Describe()) + "; nothing was written");
    return;
  }
  for (const Problem& p : composed.value().notices) notice("Progress: " + ToQ(p.Describe()));
  if (!composed.value().done.empty()) notice("Progress: " + ToQ(composed.value().done));
  const QString stem = "progress-" + ToQ(participant) + (task.empty() ? "" : "-" + ToQ(task));
  AskAndWriteReport(parent, QDir::current().filePath(stem + ".pdf"),
                    std::move(composed.value().doc), notice, std::move(run));
}

}  // namespace velquor::ui
