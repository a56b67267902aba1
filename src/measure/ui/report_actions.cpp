#include "measure/ui/report_actions.h"

#include <QDir>
#include <memory>

#include "analysis/push_analysis.h"
#include "report/file_report.h"
#include "report/ui/report_request.h"
#include "ui_kit/form_kit.h"

namespace velquor::ui {

ReportActions::ReportActions(QWidget& window, const Workspace& ws, const SessionSettings& settings,
                             MeasurementSession& session, NoticeFn notice)
    : window_(window),
      ws_(ws),
      settings_(settings),
      session_(session),
      notice_(std::move(notice)) {}

void ReportActions::Shown(SummaryFacts facts) {
  const MeasurementRecord& rec = ws_.record;
  shown_ = Facts{std::move(facts), rec.SampInterval, rec.DataNum, rec.MeasTime};
}

void ReportActions::Saved(const std::string& stem, const std::string& note) {
  if (!shown_) return;
  shown_->facts.stem = stem;
  shown_->facts.note = note;
}

void ReportActions::ReportShown() {
  // The series and results of the last analysed cycle stay as they are while the next one
  // is sampled, so a report can be made during a run.
  if (!shown_) {
    notice_("Report: there is no analysed measurement; measure one, or view a saved one");
    return;
  }
  // The record as it was analysed: only its condition is read beside the series.
  auto rec = std::make_unique<MeasurementRecord>();
  rec->SampInterval = shown_->SampInterval;
  rec->DataNum = shown_->DataNum;
  rec->MeasTime = shown_->MeasTime;
  rec->ProgramName = ws_.record.ProgramName;
  const AnalysisChoice& a = settings_.analysis;
  const Result<PushAnalysis> pushes =
      AnalysePushes(ws_.series, *rec, a.pushes.value_or(PushParameters{}));
  if (!pushes) notice_("Report: the pushes are left out: " + ToQ(pushes.problem().Describe()));
  const ReportSource src{shown_->facts,
                         *rec,
                         ws_.series,
                         ws_.kin,
                         ws_.strokes,
                         a.strokes.value_or(StrokeConditions{}),
                         ws_.calibration.Ka1,
                         ws_.calibration.Ka0,
                         ws_.calibration.loaded,
                         a.shift,
                         ws_.GraphColor,
                         pushes ? &pushes.value() : nullptr};
  ReportDocument sections;
  AppendMeasurementSection(src, sections);
  const ComparisonEntry entry = CompareMeasurement(src);
  Write(ToQ(entry.stem), AssembleReport({&entry, 1}, std::move(sections)));
}

void ReportActions::ReportFiles(const std::vector<std::string>& files) {
  if (files.empty()) {
    notice_("Report: select one or more summary files (*dat.csv) in Data View first");
    return;
  }
  FileReport report = ComposeFileReport(files, FileSettings());
  if (!Usable(report,
              "Report: ", "Report: nothing was written, as a measurement could not be read"))
    return;
  Write(files.size() == 1 ? ToQ(SummaryStem(files.front())) : "session", std::move(report.doc));
}

void ReportActions::CompareTrials(const std::vector<TrialToCompare>& trials) {
  FileReport report = ComposeTrialComparison(trials, FileSettings());
  if (!Usable(report, "Compare: ", "Compare: nothing was written")) return;
  Write("comparison", std::move(report.doc));
}

ReportSettings ReportActions::FileSettings() const {
  const AnalysisChoice& a = settings_.analysis;
  return {ws_.calibration, a.shift, a.strokes.value_or(StrokeConditions{}),
          a.pushes.value_or(PushParameters{}), ws_.GraphColor};
}

bool ReportActions::Usable(const FileReport& report, const QString& prefix,
                           const QString& refused) {
  for (const Problem& p : report.notices) notice_(prefix + ToQ(p.Describe()));
  for (const Problem& p : report.failures) notice_(prefix + ToQ(p.Describe()));
  if (report.failures.empty()) return true;
  notice_(refused);
  return false;
}

JobRunner ReportActions::Runner() {
  // Drawing a report would hold up the samples of a running cycle: it waits for the chain.
  return [this](std::function<void()> job) {
    if (session_.Running()) notice_("Report: it is written when this measurement cycle is in");
    session_.RunBetweenCycles(std::move(job));
  };
}

void ReportActions::Write(const QString& stem, ReportDocument doc) {
  AskAndWriteReport(&window_, QDir::current().filePath(stem + ".pdf"), std::move(doc), notice_,
                    Runner());
}

}  // namespace velquor::ui
