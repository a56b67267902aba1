#include "app/cli/saved_analysis.h"

#include "analysis/strokes.h"
#include "common/path_map.h"
#include "files/data_file_reader.h"

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

std::vector<std::string> InputFiles(const std::vector<std::string>& files, const CliPaths& paths) {
  std::vector<std::string> inputs = {ToNativePath(paths.settings), ToNativePath(paths.calibration)};
  for (const std::string& file : files) {
    inputs.push_back(ToNativePath(file));
    if (auto csv = SampleFilePathFor(file)) inputs.push_back(ToNativePath(csv.value()));
  }
  return inputs;
}

}  // namespace velquor::cli
