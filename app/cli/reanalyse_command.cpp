#include "app/cli/reanalyse_command.h"

#include "analysis/kinematics.h"
#include "analysis/strokes.h"
#include "app/cli/result_report.h"
#include "common/workspace.h"
#include "files/data_file_reader.h"
#include "files/data_files.h"
#include "files/text_chars.h"

#ifdef VELQUOR_HAVE_PNG
#include <QGuiApplication>
#include <cstdlib>
#include <memory>

#include "analysis/push_analysis.h"
#include "plot/ui/push_curve_png.h"
#include "plot/ui/reanalysis_pngs.h"
#endif

namespace velquor::cli {
namespace {

Status Reanalyse(const std::string& file, const ReanalyseOptions& o, const StartupFiles& start,
                 std::ostream& out, std::ostream& err, bool first) {
  auto reloaded = ReloadMeasurement(file, start, o.shift, err);
  if (!reloaded) return reloaded.problem();
  Workspace* ws = reloaded.value().get();
  const StrokeConditions cond =
      ReadStrokeConditions(o.start.value_or(start.settings.txtStartPosCond),
                           o.limit.value_or(start.settings.txtLimitCond), o.channel);
  if (Status s = CalcStrokes(cond, ws->record, ws->series, ws->kin, ws->strokes); !s) {
    return Problem{file, 0, 0, s.problem().what};
  }

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
    Result<PushAnalysis> pushes = AnalysePushes(ws->series, ws->record, start.settings.push);
    if (!pushes) return Problem{file, 0, 0, pushes.problem().what};
    if (Status s =
            ExportPushCurvePng(*o.pngDir, StemOf(file), pushes.value(), start.settings.GraphColor);
        !s) {
      return s.problem();
    }
  }
#endif
  if (o.outDir) {
    const std::string stem = StemOf(file);
    const std::string base = *o.outDir + "\\" + stem;
    const ComposedNames names{stem, base + "_dat.csv", base + "_csv.csv"};
    if (Status s = WriteDataFiles(names, "", ws->record, ws->series, ws->strokes, CurrentStamp());
        !s) {
      return s.problem();
    }
  }
  return Status::Ok();
}

}  // namespace

Result<std::unique_ptr<Workspace>> ReloadMeasurement(const std::string& file,
                                                     const StartupFiles& start, bool shift,
                                                     std::ostream& err) {
  auto loaded = LoadDataFiles(file);
  if (!loaded) return loaded.problem();
  for (const Problem& p : loaded.value()->notices) ReportNotice(err, p);

  auto ws = Workspace::Make();
  CommitLoadedData(*loaded.value(), ws->record, ws->series);
  if (Status s = CalcKinematics(ws->record, start.calibration, shift, ws->series, ws->kin); !s) {
    return Problem{file, 0, 0, s.problem().what};
  }
  return ws;
}

std::string StemOf(std::string_view dat_path) {
  const std::size_t slash = dat_path.find_last_of("/\\");
  std::string_view name = slash == std::string_view::npos ? dat_path : dat_path.substr(slash + 1);
  if (EndsWithNoCase(name, "_dat.csv")) return std::string(name.substr(0, name.size() - 8));
  if (EndsWithNoCase(name, "dat.csv")) return std::string(name.substr(0, name.size() - 7));
  return std::string(name);
}

int RunReanalyse(const ReanalyseOptions& o, const CliPaths& paths, std::ostream& out,
                 std::ostream& err) {
  const StartupFiles start = LoadStartupFiles(paths, err);
#ifdef VELQUOR_HAVE_PNG
  // Drawing pictures needs a GUI application, but no display: the offscreen platform does.
  int app_argc = 1;
  std::string app_name = "velquor-cli";
  char* app_argv[] = {app_name.data(), nullptr};
  std::unique_ptr<QGuiApplication> app;
  if (o.pngDir && QGuiApplication::instance() == nullptr) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    app = std::make_unique<QGuiApplication>(app_argc, app_argv);
  }
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
