#include "app/cli/progress_command.h"

#include <filesystem>

#include "app/cli/gui_session.h"
#include "catalogue/catalogue.h"
#include "common/output_target.h"
#include "common/path_map.h"
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
  if (Status s = CheckOutputTarget(ToNativePath(o.pdf), {catalogue}); !s) {
    ReportProblem(err, {o.pdf, 0, 0, s.problem().what});
    return 1;
  }
  std::error_code ec;
  if (!o.overwrite && std::filesystem::exists(ToNativePath(o.pdf), ec)) {
    ReportProblem(err, {o.pdf, 0, 0, "already exists; give --overwrite to replace it"});
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
