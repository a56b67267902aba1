#include "app/cli/startup_files.h"

#include "common/path_map.h"
#include "common/text_file.h"
#include "files/pair_files.h"
#include "files/set_aside.h"

namespace velquor::cli {

void ReportProblem(std::ostream& err, const Problem& p) {
  err << "velquor-cli: " << p.Describe() << "\n";
}

void ReportNotice(std::ostream& err, const Problem& p) {
  err << "velquor-cli: notice: " << p.Describe() << "\n";
}

StartupFiles LoadStartupFiles(const CliPaths& paths, std::ostream& err, bool writes_settings) {
  SettingsLoad settings = LoadSettings(paths.settings);
  const bool writable = KeepUnreadable(settings.unreadable, writes_settings, settings.notices);
  if (writes_settings) {
    const auto left = RemoveLeftoverTemps(DirectoryOf(ToNativePath(paths.settings)));
    settings.notices.insert(settings.notices.end(), left.begin(), left.end());
    const auto mended =
        RecoverSaveDirectories(settings.values.txtFileDir, settings.values.txtFileDir_Man);
    settings.notices.insert(settings.notices.end(), mended.begin(), mended.end());
  }
  for (const Problem& p : settings.notices) ReportNotice(err, p);
  CalibrationLoad cal = LoadCalibration(paths.calibration);
  (void)KeepUnreadable(cal.unreadable, false, cal.notices);  // the tool never writes it
  for (const Problem& p : cal.notices) ReportNotice(err, p);
  return {std::move(settings.values), std::move(cal.values), writable};
}

std::optional<Problem> MeasureConditionFault(const CliPaths& paths,
                                             const std::optional<std::string>& interval,
                                             const std::optional<std::string>& samples) {
  Settings s = LoadSettings(paths.settings).values;
  s.txtTimerInterval = interval.value_or(s.txtTimerInterval);
  s.txtDataNum = samples.value_or(s.txtDataNum);
  auto bad = SettingsConditionFault(s, paths.settings);
  if (!bad) return std::nullopt;
  const bool from_option = (bad->line == kIntervalLine && interval) ||
                           (bad->line == kDataNumLine && samples) || (interval && samples);
  if (from_option) return std::nullopt;
  bad->what += "; nothing was measured (change it there, or give --interval and --samples)";
  return bad;
}

}  // namespace velquor::cli
