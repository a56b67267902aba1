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

}  // namespace velquor::cli
