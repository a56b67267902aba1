#include "app/cli/measure_host.h"

#include "analysis/feedback_json.h"
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

namespace {

std::string Truth(std::optional<bool> v) {
  return v ? (*v ? "true" : "false") : "null";
}

std::string Number(std::optional<double> v) {
  return v ? ShortestText(*v) : "null";
}

// {"variable": value, ...} over the chosen variables, in their order.
template <typename Values, typename Text>
std::string ByVariable(const FeedbackSettings& s, const Values& values, Text text) {
  JsonObject o;
  for (std::size_t t = 0; t < s.targets.size() && t < values.size(); ++t) {
    o.Add(FeedbackVariableName(s.targets[t].variable), text(values[t]));
  }
  return o.str();
}

}  // namespace

std::string CliHost::TrialFeedbackJson() const {
  return feedback_ ? FeedbackJson(*feedback_, "") : std::string();
}

void CliHost::TrialPush(const TrialPushEvent& e) {
  if (!feedback_) {
    feedback_.emplace(start_.settings.feedback, std::array<Baseline, 2>{});
    for (const Problem& p : feedback_->Model().Problems()) {
      Notice(p.what + "; that end of the band stays open");
    }
  }
  std::optional<LiveFeedbackOutcome> fed;
  if (e.cycle_figures) {
    feedback_->CycleFigures(e.wheel, e.push);
  } else {
    fed = feedback_->Final(e.wheel, e.push);
  }
  if (!o_.livePushes) return;
  JsonObject line;
  line.AddText("event", e.cycle_figures ? "push-cycle" : "push")
      .Add("wheel", std::to_string(e.wheel))
      .Add("push", std::to_string(e.push.number))
      .Add("sample_final", std::to_string(e.sample_final))
      .Add("figures", PushFiguresJson(e.push));
  if (fed) {
    const FeedbackSettings& s = feedback_->Model().Settings();
    line.Add("in_band", ByVariable(s, fed->given.in_band, Truth));
    if (fed->partner) {
      const int left = e.wheel == 0 ? e.push.number : *fed->partner;
      const int right = e.wheel == 0 ? *fed->partner : e.push.number;
      line.Add("pair", JsonObject()
                           .Add("left", std::to_string(left))
                           .Add("right", std::to_string(right))
                           .Add("si", ByVariable(s, fed->symmetry, Number))
                           .str());
    }
  }
  // Flushed at once: a script reading the lines hears of each push as it happens.
  out_ << line.str() << std::endl;
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
