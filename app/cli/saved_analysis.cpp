#include "app/cli/saved_analysis.h"

#include "analysis/strokes.h"
#include "files/saved_measurement.h"

namespace velquor::cli {

StrokeConditions ConditionsOf(const StrokeOptions& o, const Settings& settings) {
  return ReadStrokeConditions(o.start.value_or(settings.txtStartPosCond),
                              o.limit.value_or(settings.txtLimitCond), o.channel);
}

Result<std::unique_ptr<Workspace>> ReloadMeasurement(const std::string& file,
                                                     const StartupFiles& start, bool shift,
                                                     std::ostream& err) {
  std::vector<Problem> notices;
  auto ws = ReloadSavedMeasurement(file, start.calibration, shift, notices);
  for (const Problem& p : notices) ReportNotice(err, p);
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
