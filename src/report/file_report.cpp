#include "report/file_report.h"

#include "analysis/trial_pushes.h"
#include "files/summary_facts.h"
#include "files/trial_file_reader.h"
#include "report/trial_section.h"
#include "workspace/saved_measurement.h"

namespace velquor {
namespace {

// A trial's section: its facts and its pushes; a trial has no strokes or kinematics of a
// measurement and is left out of the comparison of measurements.
Status AppendTrial(const std::string& file, const ReportSettings& s, ReportDocument& sections,
                   std::vector<Problem>& notices) {
  auto trial = LoadTrialCsv(file, s.calibration, s.shift);
  if (!trial) return trial.problem();
  for (const Problem& p : trial.value().notices) notices.push_back(p);
  auto pushes = AnalyseTrial(*trial.value().series, s.pushes);
  if (!pushes) return Problem{file, 0, 0, pushes.problem().what};
  AppendTrialSection(trial.value(), pushes.value(), s.GraphColor, sections);
  return Status::Ok();
}

}  // namespace

FileReport ComposeFileReport(std::span<const std::string> files, const ReportSettings& s) {
  FileReport out;
  ReportDocument sections;
  std::vector<ComparisonEntry> entries;
  for (const std::string& file : files) {
    if (IsTrialCsvPath(file)) {
      if (Status st = AppendTrial(file, s, sections, out.notices); !st) {
        out.failures.push_back(st.problem());
      }
      continue;
    }
    auto reloaded = ReloadSavedMeasurement(
        file, s.calibration, AnalysisChoice{s.shift, s.strokes, s.pushes}, out.notices);
    if (!reloaded) {
      out.failures.push_back(reloaded.problem());
      continue;
    }
    Workspace& ws = *reloaded.value().ws;
    const PushAnalysis& pushes = *reloaded.value().pushes;
    const ReportSource src{LoadSummaryFacts(file),
                           ws.record,
                           ws.series,
                           ws.kin,
                           ws.strokes,
                           s.strokes,
                           s.calibration.Ka1,
                           s.calibration.Ka0,
                           s.calibration.loaded,
                           s.shift,
                           s.GraphColor,
                           &pushes};
    AppendMeasurementSection(src, sections);
    entries.push_back(CompareMeasurement(src));
  }
  if (out.failures.empty()) out.doc = AssembleReport(entries, std::move(sections));
  return out;
}

ReportDocument AssembleReport(std::span<const ComparisonEntry> entries, ReportDocument sections) {
  ReportDocument doc;
  doc.title =
      entries.size() == 1 ? "Velquor report " + entries.front().stem : "Velquor session report";
  if (entries.empty() && !sections.blocks.empty()) {
    doc.title = "Velquor report " + sections.blocks.front().stem;
  }
  if (entries.size() > 1) AppendSessionComparison(entries, doc);
  for (ReportBlock& b : sections.blocks) doc.blocks.push_back(std::move(b));
  return doc;
}

}  // namespace velquor
