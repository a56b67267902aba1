#include "app/cli/saved_analysis.h"

#include "analysis/kinematics.h"
#include "analysis/strokes.h"
#include "files/data_file_reader.h"

namespace velquor::cli {

StrokeConditions ConditionsOf(const StrokeOptions& o, const Settings& settings) {
  return ReadStrokeConditions(o.start.value_or(settings.txtStartPosCond),
                              o.limit.value_or(settings.txtLimitCond), o.channel);
}

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

Result<std::unique_ptr<Workspace>> AnalyseSavedFile(const std::string& file, const StrokeOptions& o,
                                                    const StartupFiles& start, std::ostream& err) {
  auto reloaded = ReloadMeasurement(file, start, o.shift, err);
  if (!reloaded) return reloaded.problem();
  std::unique_ptr<Workspace> ws = std::move(reloaded.value());
  if (Status s = CalcStrokes(ConditionsOf(o, start.settings), ws->record, ws->series, ws->kin,
                             ws->strokes);
      !s) {
    return Problem{file, 0, 0, s.problem().what};
  }
  return ws;
}

}  // namespace velquor::cli
