// "Report..." of the main window and of Data View: the document is composed at once from
// what is shown, then written where the user says without holding up a measurement.
#pragma once

#include <QString>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "files/summary_facts.h"
#include "report/report_document.h"
#include "report/trial_comparison.h"
#include "report/ui/report_request.h"
#include "session/measurement_session.h"
#include "workspace/workspace.h"

class QWidget;

namespace velquor::ui {

class ReportActions {
 public:
  using NoticeFn = std::function<void(const QString&)>;
  ReportActions(QWidget& window, const Workspace& ws, const SessionSettings& settings,
                MeasurementSession& session, NoticeFn notice);

  // What a report names the measurement in memory by, once the whole chain has run on it,
  // with the condition it was analysed under (the boxes may change it since).
  void Shown(SummaryFacts facts);
  void Forget() { shown_.reset(); }
  // The measurement shown was saved under `stem` with `note`.
  void Saved(const std::string& stem, const std::string& note);

  // A report of the measurement in memory, or of the summary files given.
  void ReportShown();
  void ReportFiles(const std::vector<std::string>& files);

  // Where a report's writing is handed: now, or between cycles while a run goes.
  JobRunner Runner();
  // A comparison of trials read back from their per-sample files.
  void CompareTrials(const std::vector<TrialToCompare>& trials);

 private:
  void Write(const QString& stem, ReportDocument doc);
  // What saved files are analysed and drawn with: the settings in force.
  ReportSettings FileSettings() const;
  // Says what the composing noticed (each with `prefix`); false, with `refused`, when it failed.
  bool Usable(const FileReport& report, const QString& prefix, const QString& refused);

  struct Facts {
    SummaryFacts facts;
    double SampInterval = 0;
    float DataNum = 0;
    double MeasTime = 0;
  };
  QWidget& window_;
  const Workspace& ws_;
  const SessionSettings& settings_;
  MeasurementSession& session_;
  NoticeFn notice_;
  std::optional<Facts> shown_;
};

}  // namespace velquor::ui
