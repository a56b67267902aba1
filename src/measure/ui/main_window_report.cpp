// "Report..." of the main window and of Data View: the document is composed at once from
// what is shown, then written where the user says without holding up a measurement.
#include <QCheckBox>
#include <QDir>
#include <memory>

#include "analysis/push_analysis.h"
#include "analysis/ui/calc_results.h"
#include "analysis/ui/pushes_screen.h"
#include "measure/ui/main_window.h"
#include "report/file_report.h"
#include "report/ui/report_request.h"
#include "ui_kit/form_kit.h"

namespace velquor::ui {

void Form1::SetShown(SummaryFacts facts) {
  const MeasurementRecord& rec = ws_.record;
  shown_ = Shown{std::move(facts), rec.SampInterval, rec.DataNum, rec.MeasTime};
}

void Form1::ReportAction() {
  // The series and results of the last analysed cycle stay as they are while the next one
  // is sampled, so a report can be made during a run.
  if (!shown_) {
    Notice("Report: there is no analysed measurement; measure one, or view a saved one");
    return;
  }
  // The record as it was analysed: only its condition is read beside the series.
  auto rec = std::make_unique<MeasurementRecord>();
  rec->SampInterval = shown_->SampInterval;
  rec->DataNum = shown_->DataNum;
  rec->MeasTime = shown_->MeasTime;
  rec->ProgramName = ws_.record.ProgramName;
  const Result<PushAnalysis> pushes = AnalysePushes(ws_.series, *rec, Pushes().Parameters());
  if (!pushes) Notice("Report: the pushes are left out: " + ToQ(pushes.problem().Describe()));
  const ReportSource src{shown_->facts,
                         *rec,
                         ws_.series,
                         ws_.kin,
                         ws_.strokes,
                         form7_->ReadConditions(),
                         ws_.calibration.Ka1,
                         ws_.calibration.Ka0,
                         ws_.calibration.loaded,
                         chkShift->isChecked(),
                         ws_.GraphColor,
                         pushes ? &pushes.value() : nullptr};
  ReportDocument sections;
  AppendMeasurementSection(src, sections);
  const ComparisonEntry entry = CompareMeasurement(src);
  AskAndWriteReport(
      this, QDir::current().filePath(ToQ(entry.stem) + ".pdf"),
      AssembleReport({&entry, 1}, std::move(sections)),
      [this](const QString& text) { Notice(text); },
      [this](std::function<void()> job) { RunBetweenCycles(std::move(job)); });
}

void Form1::ReportFiles(const std::vector<std::string>& files) {
  if (files.empty()) {
    Notice("Report: select one or more summary files (*dat.csv) in Data View first");
    return;
  }
  const ReportSettings settings{ws_.calibration, chkShift->isChecked(), form7_->ReadConditions(),
                                Pushes().Parameters(), ws_.GraphColor};
  FileReport report = ComposeFileReport(files, settings);
  for (const Problem& p : report.notices) Notice("Report: " + ToQ(p.Describe()));
  for (const Problem& p : report.failures) Notice("Report: " + ToQ(p.Describe()));
  if (!report.failures.empty()) {
    Notice("Report: nothing was written, as a measurement could not be read");
    return;
  }
  const QString name = files.size() == 1 ? ToQ(SummaryStem(files.front())) : "session";
  AskAndWriteReport(
      this, QDir::current().filePath(name + ".pdf"), std::move(report.doc),
      [this](const QString& text) { Notice(text); },
      [this](std::function<void()> job) { RunBetweenCycles(std::move(job)); });
}

void Form1::RunBetweenCycles(std::function<void()> job) {
  if (!runActive_) {
    job();
    return;
  }
  Notice("Report: it is written when this measurement cycle is in");
  betweenCycles_.push_back(std::move(job));
}

void Form1::RunJobsBetweenCycles() {
  std::vector<std::function<void()>> jobs;
  jobs.swap(betweenCycles_);
  for (const auto& job : jobs) job();
}

}  // namespace velquor::ui
