#include "app/cli/measure_host.h"

#include "analysis/push_json.h"
#include "analysis/result_texts.h"
#include "common/json_text.h"
#include "common/path_map.h"
#include "common/shortest_text.h"

namespace velquor::cli {

void CliHost::Notice(const std::string& text) {
  ReportNotice(err_, Problem{"", 0, 0, text});
}

void CliHost::CycleTaken(int cycle, const CycleTiming& t) {
  if (o_.timing) Lines() << TimingLine(t) << std::endl;
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
  Lines() << "cycle " << ++saved_ << ": "
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
  if ((o_.cyclesGiven || !o_.trialLength) && cycle >= o_.cycles) session->Stop();
}

void CliHost::TrialPush(const TrialPushEvent& e) {
  if (!o_.livePushes) return;
  // Flushed at once: a script reading the lines hears of each push as it happens.
  out_ << JsonObject()
              .AddText("event", e.cycle_figures ? "push-cycle" : "push")
              .Add("wheel", std::to_string(e.wheel))
              .Add("push", std::to_string(e.push.number))
              .Add("sample_final", std::to_string(e.sample_final))
              .Add("figures", PushFiguresJson(e.push))
              .str()
       << std::endl;
}

void CliHost::MarkerPlaced(const TrialMarker& m) {
  if (o_.livePushes) {
    out_ << JsonObject()
                .AddText("event", "marker")
                .Add("number", std::to_string(m.number))
                .Add("sample", std::to_string(m.sample))
                .Add("t_s", ShortestText(m.t_s))
                .str()
         << std::endl;
  } else {
    Notice("marker " + std::to_string(m.number) + " at sample " + std::to_string(m.sample) + " (" +
           ShortestText(m.t_s) + " s)");
  }
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
