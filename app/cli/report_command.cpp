#include "app/cli/report_command.h"

#include <filesystem>
#include <vector>

#include "app/cli/gui_session.h"
#include "app/cli/pushes_command.h"
#include "app/cli/saved_analysis.h"
#include "common/path_map.h"
#include "files/summary_facts.h"
#include "report/session_comparison.h"
#include "report/ui/report_pdf.h"

namespace velquor::cli {
int RunReport(const ReportOptions& o, const CliPaths& paths, std::ostream& out, std::ostream& err) {
  std::error_code ec;
  if (!o.overwrite && std::filesystem::exists(ToNativePath(o.pdf), ec)) {
    ReportProblem(err, {o.pdf, 0, 0, "already exists; give --overwrite to replace it"});
    return 1;
  }
  const StartupFiles start = LoadStartupFiles(paths, err);
  const Result<PushParameters> parameters = ChosenPushParameters(o.parameters, start.settings.push);
  if (!parameters) {
    ReportProblem(err, parameters.problem());
    return 2;
  }
  const GuiSession gui;
  ReportDocument sections;
  std::vector<ComparisonEntry> entries;
  int status = 0;
  for (const std::string& file : o.files) {
    auto analysed = AnalyseSavedFile(file, o, start, err);
    if (!analysed) {
      ReportProblem(err, analysed.problem());
      status = 1;
      continue;
    }
    const Workspace& ws = *analysed.value();
    const Result<PushAnalysis> pushes = AnalysePushes(ws.series, ws.record, parameters.value());
    if (!pushes) {
      ReportProblem(err, {file, 0, 0, pushes.problem().what});
      status = 1;
      continue;
    }
    const ReportSource src{LoadSummaryFacts(file),
                           ws.record,
                           ws.series,
                           ws.kin,
                           ws.strokes,
                           ConditionsOf(o, start.settings),
                           start.calibration.Ka1,
                           start.calibration.Ka0,
                           start.calibration.loaded,
                           o.shift,
                           start.settings.GraphColor,
                           &pushes.value()};
    AppendMeasurementSection(src, sections);
    entries.push_back(CompareMeasurement(src));
  }
  if (status != 0) {
    ReportProblem(err, {o.pdf, 0, 0, "no report was written, as a measurement could not be read"});
    return status;
  }
  ReportDocument doc;
  doc.title =
      entries.size() == 1 ? "Velquor report " + entries.front().stem : "Velquor session report";
  if (entries.size() > 1) AppendSessionComparison(entries, doc);
  for (ReportBlock& b : sections.blocks) doc.blocks.push_back(std::move(b));
  if (Status s = WriteReportPdf(doc, o.pdf, o.overwrite); !s) {
    ReportProblem(err, s.problem());
    return 1;
  }
  out << "velquor-cli: report of " << entries.size()
      << (entries.size() == 1 ? " measurement" : " measurements") << " written to " << o.pdf
      << "\n";
  return 0;
}

}  // namespace velquor::cli
