#include "app/cli/report_command.h"

#include "app/cli/gui_session.h"
#include "app/cli/pushes_command.h"
#include "app/cli/report_target.h"
#include "app/cli/saved_analysis.h"
#include "report/file_report.h"
#include "report/ui/report_pdf.h"

namespace velquor::cli {

int RunReport(const ReportOptions& o, const CliPaths& paths, std::ostream& out, std::ostream& err) {
  // A device, FIFO, directory or input file at that name is kept, asked or not.
  if (auto bad = ReportTargetProblem(o.pdf, InputFiles(o.files, paths), o.overwrite)) {
    ReportProblem(err, *bad);
    return 1;
  }
  const StartupFiles start = LoadStartupFiles(paths, err);
  const Result<PushParameters> parameters = ChosenPushParameters(o.parameters, start.settings.push);
  if (!parameters) {
    ReportProblem(err, parameters.problem());
    return 2;
  }
  const GuiSession gui;
  const ReportSettings settings{start.calibration, o.shift, ConditionsOf(o, start.settings),
                                parameters.value(), start.settings.GraphColor};
  const FileReport report = ComposeFileReport(o.files, settings);
  for (const Problem& p : report.notices) ReportNotice(err, p);
  for (const Problem& p : report.failures) ReportProblem(err, p);
  if (!report.failures.empty()) {
    ReportProblem(err, {o.pdf, 0, 0, "no report was written, as a measurement could not be read"});
    return 1;
  }
  if (Status s = WriteReportPdf(report.doc, o.pdf, o.overwrite); !s) {
    ReportProblem(err, s.problem());
    return 1;
  }
  out << "velquor-cli: report of " << o.files.size()
      << (o.files.size() == 1 ? " measurement" : " measurements") << " written to " << o.pdf
      << "\n";
  return 0;
}

}  // namespace velquor::cli
