// The measurement session's host on the command line: one line per saved cycle, problems
// to the error stream, the number kept in the settings file after every save.
#pragma once

#include <optional>
#include <ostream>
#include <string>

#include "analysis/live_feedback.h"
#include "app/cli/cli_options.h"
#include "app/cli/startup_files.h"
#include "session/measurement_session.h"
#include "workspace/workspace.h"

namespace velquor::cli {

// Ends the run after `o.cycles` cycles.
class CliHost : public SessionHost {
 public:
  CliHost(Workspace& ws, const MeasureOptions& o, StartupFiles& start, const CliPaths& paths,
          std::ostream& out, std::ostream& err)
      : ws_(ws), o_(o), start_(start), paths_(paths), out_(out), err_(err) {}
  MeasurementSession* session = nullptr;
  bool failed = false;  // a cycle or the settings could not be saved, or a read failed
  std::optional<RunEnd> end;

  void Notice(const std::string& text) override;
  void CycleTaken(int cycle, const CycleTiming& t) override;
  void Analysed(const AnalysisOutcome& a) override;
  void InternalError(int cycle, const std::string& what) override;
  void SaveDone(const PairSaved& pair, const FileNaming&) override;
  void SaveFailed(const Problem& problem, int cycle) override;
  void NumberAdvanced(int) override;
  void CycleFinished(int cycle) override;
  void RunEnded(const RunEnd& e) override;
  void TrialPush(const TrialPushEvent& e) override;
  std::string TrialFeedbackJson() const override;
  void MarkerPlaced(const TrialMarker& m) override;
  void KeepSettings();
  // Every cycle asked for was saved (a trial of a set length: it ran to its end).
  bool AllDone() const {
    return o_.trialLength && !o_.cyclesGiven ? end && end->lengthReached : saved_ >= o_.cycles;
  }

 private:
  void Fail(const Problem& p);
  // The stream of the lines for people: the error stream while stdout carries JSON lines.
  std::ostream& Lines() { return o_.livePushes ? err_ : out_; }
  Workspace& ws_;
  const MeasureOptions& o_;
  StartupFiles& start_;
  const CliPaths& paths_;
  std::ostream& out_;
  std::ostream& err_;
  // The feedback targets in force judge each push for the live lines (no baseline here: a
  // band relative to one stays open, said once).
  std::optional<LiveFeedback> feedback_;
  int saved_ = 0;
};

}  // namespace velquor::cli
