#include "app/cli/saved_analysis.h"

#include "analysis/strokes.h"

namespace velquor::cli {

StrokeConditions ConditionsOf(const StrokeOptions& o, const Settings& settings) {
  return ReadStrokeConditions(o.start.value_or(settings.txtStartPosCond),
                              o.limit.value_or(settings.txtLimitCond), o.channel);
}

Result<ReloadedMeasurement> ReloadMeasurement(const std::string& file, const StartupFiles& start,
                                              const AnalysisChoice& choice, std::ostream& err) {
  std::vector<Problem> notices;
  auto reloaded = ReloadSavedMeasurement(file, start.calibration, choice, notices);
  for (const Problem& p : notices) ReportNotice(err, p);
  return reloaded;
}

Result<ReloadedMeasurement> AnalyseSavedFile(const std::string& file, const StrokeOptions& o,
                                             const StartupFiles& start, bool pushes,
                                             std::ostream& err) {
  AnalysisChoice choice{o.shift, ConditionsOf(o, start.settings), std::nullopt};
  if (pushes) choice.pushes = start.settings.push;
  return ReloadMeasurement(file, start, choice, err);
}

}  // namespace velquor::cli
