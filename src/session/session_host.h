// What a measurement session tells the program that hosts it (the main window, the command
// line) and how it has its files written: the host shows, the session decides.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "analysis/analyse_record.h"
#include "analysis/push_analysis.h"
#include "analysis/series.h"
#include "common/result.h"
#include "daq/device_access.h"
#include "files/data_files.h"
#include "files/naming.h"
#include "files/save_stamp.h"
#include "files/trial_files.h"
#include "measure/cycle_timing.h"
#include "measure/take_sample.h"
#include "record/record.h"
#include "record/trial_facts.h"

namespace velquor {

// How far the chain went on the record: nothing stopped it, or the step that failed. The
// pushes are there when they were asked for and found.
struct AnalysisOutcome {
  std::optional<AnalysisStop> stop;
  std::optional<PushAnalysis> pushes;
  std::string source;  // the file the record was read from, empty for a measured cycle
  int cycle = 0;       // the cycle of the run, 0 for a record read from a file
  // Whether the record may be shown and saved: every step but the pushes ran.
  bool Whole() const { return !stop || stop->step == AnalysisStep::kPushes; }
};

// How a run ended.
struct RunEnd {
  int cycles = 0;                  // cycles handed to the chain
  bool stopRequested = false;      // Stop, a manual hand-over, a failed save or analysis
  bool lengthReached = false;      // it ran to the end of the cycle that reached its length
  std::optional<ReadFault> fault;  // the read that ended the run by itself
  std::optional<DeviceOutcome> aioClosed, dioClosed;  // closed because the card is gone
};

// A push of the run's trial as it was handed on: final with its own figures, or (cycle_figures)
// the same push again once the next one made its cycle figures known.
struct TrialPushEvent {
  int wheel = 0;
  Push push;
  bool cycle_figures = false;
  std::int64_t sample_final = 0;  // the sample whose taking settled it
};

class SessionHost {
 public:
  virtual ~SessionHost() = default;
  // Something to tell the operator: the engine's notes, late samples, an internal error.
  virtual void Notice(const std::string& text) = 0;
  // A cycle has come in from the engine, with how well it kept its ticks.
  virtual void CycleTaken(int /*cycle*/, const CycleTiming& /*timing*/) {}
  // The chain has run on the record (a cycle or a record read back).
  virtual void Analysed(const AnalysisOutcome& outcome) = 0;
  // The chain of a cycle threw: the run ends after it.
  virtual void InternalError(int cycle, const std::string& what) = 0;
  // Manual saving is on: the measurement is the operator's to save; the run ends.
  virtual void HandOver() {}
  // A number of the set (0 automatic, 1 manual) has advanced; the host keeps it.
  virtual void NumberAdvanced(int save_flag) = 0;
  // An automatic save has been written, or failed (then the run ends, the record kept).
  virtual void SaveDone(const PairSaved& pair, const FileNaming& names) = 0;
  virtual void SaveFailed(const Problem& problem, int cycle) = 0;
  // A cycle's chain is over, whatever it decided.
  virtual void CycleFinished(int /*cycle*/) {}
  virtual void RunEnded(const RunEnd& end) = 0;
  // The run's trial: a push settled, a marker placed, and the trial's end with the whole
  // trial's analysis (just before RunEnded).
  virtual void TrialPush(const TrialPushEvent& /*event*/) {}
  virtual void MarkerPlaced(const TrialMarker& /*marker*/) {}
  virtual void TrialEnded(const PushAnalysis& /*analysis*/, const TrialFacts& /*facts*/) {}
  // The feedback given so far in the trial, a JSON object for its document; empty for none.
  virtual std::string TrialFeedbackJson() const { return {}; }
  // The ended trial's row is in the catalogue of its directory (after TrialEnded).
  virtual void TrialCatalogued() {}
};

// What a save writes. The pointers are valid during Save only: a saver that writes later
// copies what they point to.
struct SaveOrder {
  FileNaming naming;
  int saveFlag = 0;
  const MeasurementRecord* record = nullptr;
  const DerivedSeries* series = nullptr;
  const StrokeResults* strokes = nullptr;
  SaveStamp stamp;
};

class SessionSaver {
 public:
  virtual ~SessionSaver() = default;
  // `done` runs with what was written (or why not) and the names as the save left them,
  // on the session's thread, before or after Save returns.
  using Done = std::function<void(const Result<PairSaved>&, const FileNaming&)>;
  virtual void Save(const SaveOrder& order, Done done) = 0;
  // A step of the trial's files, after the saves asked for before it; `done` runs on the
  // session's thread with what was written or why not.
  using TrialDone = std::function<void(const Result<std::string>&)>;
  virtual void WriteTrial(TrialStep step, TrialDone done) = 0;
};

// Writes at once, on the calling thread, through the one save path; a taken number is
// passed over.
class SynchronousSaver : public SessionSaver {
 public:
  void Save(const SaveOrder& order, Done done) override;
  void WriteTrial(TrialStep step, TrialDone done) override { done(trial_.Apply(step)); }

 private:
  TrialFiles trial_;
};

}  // namespace velquor
