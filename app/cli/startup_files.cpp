#include "app/cli/startup_files.h"

namespace velquor::cli {

void ReportProblem(std::ostream& err, const Problem& p) {
  err << "velquor-cli: " << p.Describe() << "\n";
}

void ReportNotice(std::ostream& err, const Problem& p) {
  err << "velquor-cli: notice: " << p.Describe() << "\n";
}

StartupFiles LoadStartupFiles(const CliPaths& paths, std::ostream& err) {
  SettingsLoad settings = LoadSettings(paths.settings);
  for (const Problem& p : settings.notices) ReportNotice(err, p);
  CalibrationLoad cal = LoadCalibration(paths.calibration);
  for (const Problem& p : cal.notices) ReportNotice(err, p);
  return {std::move(settings.values), std::move(cal.values)};
}

}  // namespace velquor::cli
