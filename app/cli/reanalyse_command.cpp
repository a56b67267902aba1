#include "app/cli/reanalyse_command.h"

#include <optional>
#include <string>
#include <vector>

#include "app/cli/result_report.h"
#include "app/cli/saved_analysis.h"
#include "common/json_text.h"
#include "common/output_target.h"
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

// Prints the tables of one file, or keeps its JSON object in `json` for the document printed
// at the end.
Status Reanalyse(const std::string& file, const ReanalyseOptions& o, const StartupFiles& start,
                 const std::vector<std::string>& inputs, std::ostream& out, std::ostream& err,
                 bool first, std::vector<std::string>& json) {
  bool pushes = false;
#ifdef VELQUOR_HAVE_PNG
  pushes = o.pngDir.has_value();
#endif
  auto analysed = AnalyseSavedFile(file, o, start, pushes, err);
  if (!analysed) return analysed.problem();
  const Workspace* ws = analysed.value().ws.get();

  const Reanalysed shown{file, ws->record, ws->kin, ws->strokes};
  if (o.json) {
    json.push_back(ResultJson(shown));
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
    // No file read is ever written over, by whatever name --out reaches it, nor anything
    // but a regular file.
    for (const std::string* path : {&names.DatFilePath, &names.CsvFilePath}) {
      if (Status s = CheckOutputTarget(ToNativePath(*path), inputs); !s) {
        return Problem{*path, 0, 0, s.problem().what};
      }
    }
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
  std::vector<std::string> json;
  const std::vector<std::string> inputs = InputFiles(o.files, paths);
  for (const std::string& file : o.files) {
    if (Status s = Reanalyse(file, o, start, inputs, out, err, first, json); !s) {
      ReportProblem(err, s.problem());
      status = 1;
    } else {
      first = false;
    }
  }
  // One JSON document: the object of a single file, an array when several were asked for.
  if (o.json && !json.empty()) {
    out << (o.files.size() == 1 ? json.front() : JsonArray(json)) << "\n";
  }
  return status;
}

}  // namespace velquor::cli
