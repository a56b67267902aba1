#include "app/cli/reanalyse_command.h"

#include <optional>

#include "app/cli/result_report.h"
#include "app/cli/saved_analysis.h"
#include "common/path_map.h"
#include "files/data_file_reader.h"
#include "files/data_files.h"

#ifdef VELQUOR_HAVE_PNG
#include "app/cli/gui_session.h"
#include "plot/ui/push_curve_png.h"
#include "plot/ui/reanalysis_pngs.h"
#endif

namespace velquor::cli {
namespace {

Status Reanalyse(const std::string& file, const ReanalyseOptions& o, const StartupFiles& start,
                 std::ostream& out, std::ostream& err, bool first) {
  bool pushes = false;
#ifdef VELQUOR_HAVE_PNG
  pushes = o.pngDir.has_value();
#endif
  auto analysed = AnalyseSavedFile(file, o, start, pushes, err);
  if (!analysed) return analysed.problem();
  const Workspace* ws = analysed.value().ws.get();

  const Reanalysed shown{file, ws->record, ws->kin, ws->strokes};
  if (o.json) {
    out << ResultJson(shown) << "\n";
  } else {
    out << (first ? "" : "\n") << ResultTables(shown);
  }
#ifdef VELQUOR_HAVE_PNG
  if (o.pngDir) {
    if (Status s = ExportReanalysisPngs(*o.pngDir, StemOf(file), ws->record, ws->series, ws->kin,
                                        ws->strokes, start.settings.GraphColor);
        !s) {
      return s.problem();
    }
    if (Status s = ExportPushCurvePng(*o.pngDir, StemOf(file), *analysed.value().pushes,
                                      start.settings.GraphColor);
        !s) {
      return s.problem();
    }
  }
#endif
  if (o.outDir) {
    const std::string stem = StemOf(file);
    const std::string base = InDirectory(*o.outDir, stem);
    const ComposedNames names{stem, base + "_dat.csv", base + "_csv.csv"};
    // The pair read is never written over, by whatever name --out reaches it.
    std::vector<std::string> inputs = {ToNativePath(file)};
    if (auto csv_in = SampleFilePathFor(file)) inputs.push_back(ToNativePath(csv_in.value()));
    if (auto taken = PairTaken(names); !o.overwrite && taken && taken.value()) {
      return Problem{names.DatFilePath, 0, 0,
                     "exists already and was not replaced (--overwrite replaces it)"};
    }
    auto saved = WriteDataFiles(names, "", ws->record, ws->series, ws->strokes, CurrentStamp(),
                                o.overwrite ? WhenTaken::kReplace : WhenTaken::kRefuse, inputs);
    if (!saved) return saved.problem();
    for (const Problem& p : saved.value().notices) ReportNotice(err, p);
  }
  return Status::Ok();
}

}  // namespace

int RunReanalyse(const ReanalyseOptions& o, const CliPaths& paths, std::ostream& out,
                 std::ostream& err) {
  const StartupFiles start = LoadStartupFiles(paths, err);
#ifdef VELQUOR_HAVE_PNG
  // Drawing pictures needs a GUI application, but no display.
  std::optional<GuiSession> gui;
  if (o.pngDir) gui.emplace();
#endif
  int status = 0;
  bool first = true;
  for (const std::string& file : o.files) {
    if (Status s = Reanalyse(file, o, start, out, err, first); !s) {
      ReportProblem(err, s.problem());
      status = 1;
    } else {
      first = false;
    }
  }
  return status;
}

}  // namespace velquor::cli
