#include "app/cli/progress_command.h"

#include "app/cli/gui_session.h"
#include "app/cli/report_target.h"
#include "catalogue/catalogue.h"
#include "report/progress_report.h"
#include "report/ui/report_pdf.h"

namespace velquor::cli {

int RunProgress(const ProgressOptions& o, const CliPaths& paths, std::ostream& out,
                std::ostream& err) {
  const StartupFiles start = LoadStartupFiles(paths, err);
  ProgressRequest request{o.dir ? *o.dir : start.settings.txtFileDir, o.participant, o.task,
                          o.figures, start.settings.mdc};
  // A device, FIFO, directory or the catalogue itself at that name is kept, asked or not.
  const std::string catalogue = CatalogueDir(request.dir) + "/" + std::string(kCatalogueName);
  if (auto bad = ReportTargetProblem(o.pdf, {catalogue}, o.overwrite)) {
    ReportProblem(err, *bad);
    return 1;
  }
  const Result<ProgressReport> report = ComposeProgress(request);
  if (!report) {
    ReportProblem(err, report.problem());
    return 1;
  }
  for (const Problem& p : report.value().notices) ReportNotice(err, p);
  const GuiSession gui;
  if (Status s = WriteReportPdf(report.value().doc, o.pdf, o.overwrite); !s) {
    ReportProblem(err, s.problem());
    return 1;
  }
  out << "velquor-cli: " << report.value().done << " written to " << o.pdf << "\n";
  return 0;
}

}  // namespace velquor::cli
