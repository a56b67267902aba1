#include "app/cli/measure_host.h"

#include "analysis/result_texts.h"
#include "common/path_map.h"

namespace velquor::cli {

void CliHost::Notice(const std::string& text) {
  ReportNotice(err_, Problem{"", 0, 0, text});
}

void CliHost::CycleTaken(int cycle, const CycleTiming& t) {
  if (o_.timing) out_ << TimingLine(t) << std::endl;
  if (auto late = LateSamplesNotice(t)) Notice("cycle " + std::to_string(cycle) + ": " + *late);
}

void CliHost::Analysed(const AnalysisOutcome& a) {
  if (!a.Whole())
    Fail(Problem{"", 0, 0, "cycle " + std::to_string(a.cycle) + ": " + a.stop->problem.what});
}

void CliHost::InternalError(int cycle, const std::string& what) {
  Fail(Problem{"", 0, 0,
               "cycle " + std::to_string(cycle) + " was stopped by an internal error (" + what +
                   "); the run stops here"});
}

void CliHost::SaveDone(const PairSaved& pair, const FileNaming&) {
  for (const Problem& p : pair.notices) ReportNotice(err_, p);
  const MainResultTexts main = ShowMainResults(ws_.kin);
  const int n = ws_.strokes.StrokeCount;
  out_ << "cycle " << ++saved_ << ": "
       << (pair.renumbered ? pair.Describe()
                           : "wrote " + ToNativePath(pair.names.DatFilePath) + " and " +
                                 ToNativePath(pair.names.CsvFilePath))
       << "; " << n << (n == 1 ? " stroke" : " strokes") << "; mean speed ch0 "
       << main.txtSpeedAv[0] << " ch1 " << main.txtSpeedAv[1] << " m/s" << std::endl;
}

void CliHost::SaveFailed(const Problem& problem, int cycle) {
  Problem p = problem;
  p.what += "; the measurement of cycle " + std::to_string(cycle) +
            " is not saved, so the run stops here";
  Fail(p);
}

void CliHost::NumberAdvanced(int) {
  KeepSettings();
}

void CliHost::CycleFinished(int cycle) {
  if (cycle >= o_.cycles) session->Stop();
}

void CliHost::RunEnded(const RunEnd& e) {
  end = e;
}

// Writes the settings with the current number (so a killed run goes on after its last pair).
void CliHost::KeepSettings() {
  if (!start_.settingsWritable) return;
  start_.settings.txtFileOrg = ws_.naming.Auto.Org;
  auto saved = SaveSettings(start_.settings, paths_.settings);
  if (!saved) return Fail(saved.problem());
  for (const Problem& p : saved.value()) ReportNotice(err_, p);
}

void CliHost::Fail(const Problem& p) {
  ReportProblem(err_, p);
  failed = true;
}

}  // namespace velquor::cli
