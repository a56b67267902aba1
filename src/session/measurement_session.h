// A measurement run without a window: the acquisition engine, the chain after every cycle,
// the automatic save and the manual hand-over, the numbers, and how the run ends. Its host
// shows what happened; the same session runs under the main window and the command line.
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "analysis/series.h"
#include "daq/device_state.h"
#include "daq/driver.h"
#include "files/naming.h"
#include "measure/acquisition_engine.h"
#include "measure/cycle_timing.h"
#include "measure/pacing_clock.h"
#include "record/calibration.h"
#include "record/record.h"
#include "session/session_host.h"
#include "session/session_settings.h"
#include "session/trial_follower.h"

namespace velquor {

// The state a run reads and writes, owned by the program.
struct SessionParts {
  MeasurementRecord& record;
  DeviceState& device;
  DerivedSeries& series;
  KinematicsResults& kin;
  StrokeResults& strokes;
  const Calibration& calibration;
  FileNaming& naming;
};

class MeasurementSession {
 public:
  MeasurementSession(AcqDriver& driver, SessionParts parts, PacingClock& clock,
                     const SessionSettings& settings, SessionHost& host, SessionSaver& saver);
  // The run's thread ends before the session.
  ~MeasurementSession();
  MeasurementSession(const MeasurementSession&) = delete;
  MeasurementSession& operator=(const MeasurementSession&) = delete;

  // Starts cycles under the record's condition; false while a run is going.
  bool Start();
  // The run ends before its next sample; the cycle being sampled is abandoned. A cycle in
  // its chain finishes it, saves included. Called on the host's thread: a stop asked for
  // elsewhere (a signal, say) sets a flag the host looks at between its calls to Drain.
  void Stop();
  // From Start until the run has ended and its last save is written.
  bool Running() const { return active_; }
  bool StopRequested() const { return engine_.StopRequested(); }

  // Takes the finished cycles through the chain and ends the run once its thread is done;
  // the host calls it when woken, or after WaitForCycle.
  void Drain();
  void WaitForCycle(std::chrono::milliseconds timeout) { engine_.WaitForCycle(timeout); }
  // Called on the acquisition thread when a cycle is finished and when the run ends, and on
  // the trial's thread when it has news for the host.
  void SetWakeHook(std::function<void()> hook) {
    wake_ = hook;
    engine_.SetWakeHook(std::move(hook));
  }
  // A new cycle length for the run going or the next.
  void SetDataNum(int data_num) { engine_.SetDataNum(data_num); }
  // The engine's notes so far, to the host.
  void PassEngineNotices();

  // For the live views: the block being sampled and how the pacing keeps up.
  const AcquisitionEngine& Engine() const { return engine_; }
  int SampleNo() const { return engine_.SampleNo(); }
  const CycleTiming& LastTiming() const { return lastTiming_; }

  // The chain on a record read back from `source`; false when it was not analysed whole.
  bool AnalyseLoaded(const std::string& source);
  // Why the record cannot be saved now, or nothing: before anything was analysed, and
  // while the record's samples do not match its series.
  std::optional<std::string> WhyNotSaved() const;
  // The last record the whole chain ran on (a cycle or a file), or false after a failure.
  bool HasAnalysedRecord() const { return everAnalysed_ && !recordMixed_; }
  const MeasurementRecord& Record() const { return parts_.record; }
  const DerivedSeries& Series() const { return parts_.series; }
  // The samples of the trial that ended last, whole; nothing while one runs or before any.
  std::shared_ptr<const TrialSeries> EndedTrialSeries() const;
  const KinematicsResults& Kinematics() const { return parts_.kin; }

  // The run's trial. Markers at trial times (s) for the runs started after this.
  void SetMarkerTimes(std::vector<double> seconds) { markerTimes_ = std::move(seconds); }
  // The next marker at the latest sample of the trial going, or nothing (with a notice).
  std::optional<TrialMarker> PlaceMarker(const std::string& label = "");
  // A label for marker `number` of the trial going or the last; false when there is none.
  bool LabelMarker(int number, const std::string& label);
  // The trial's pushes so far (during the run) or the last trial's; nothing before a trial.
  std::optional<PushAnalysis> TrialAnalysis() const;
  std::int64_t TrialSamples() const;
  // Where a sample of the trial going lies among its cycles.
  std::optional<TrialFollower::CyclePlace> TrialPlaceOf(std::int64_t sample) const {
    return follower_ ? follower_->PlaceOf(sample) : std::nullopt;
  }
  // Seconds of the set trial length still to be measured, while a run of a set length goes.
  std::optional<double> TrialSecondsLeft() const;
  const TrialFacts& Trial() const { return facts_; }
  std::size_t TrialMemoryBytes() const { return follower_ ? follower_->MemoryBytes() : 0; }

  // A job that would hold up a cycle runs after the next cycle's chain, or when the run
  // ends; at once when no run is going.
  void RunBetweenCycles(std::function<void()> job);

 private:
  bool CycleHandedOver(const CycleTiming& timing);
  void AfterCycle();
  // After the first whole cycle below 20 ms of a run: why its graphs show means.
  void TellQuantisation();
  bool Analyse(const std::string& source, int cycle);
  void SaveAutomatically();
  void AutoSaveDone(const Result<PairSaved>& saved, const FileNaming& names);
  void EndRun();
  void RunJobs();
  void StartTrial();
  void PassTrialNews();
  void OpenTrialFiles(const PairSaved& pair);
  // `then` runs once the step is written.
  void WriteTrialStep(TrialStep step, std::function<void()> then = {});
  void EndTrial();
  // The trial's document with its pushes and the feedback the host gave.
  std::string TrialDocument(const PushAnalysis& pushes, bool complete);
  std::string TrialJson(bool complete);

  AcqDriver& driver_;
  SessionParts parts_;
  const SessionSettings& settings_;
  SessionHost& host_;
  SessionSaver& saver_;
  AcquisitionEngine engine_;
  bool active_ = false;
  bool draining_ = false;
  bool savePending_ = false;  // the automatic save of the last cycle is being written
  int cycles_ = 0;
  CycleTiming lastTiming_;
  // The record holds samples whose analysis failed: its raw columns do not match its
  // series, so it is not saved. Nothing is saved either before the first cycle or view.
  bool recordMixed_ = false;
  bool everAnalysed_ = false;
  bool quantisationTold_ = false;  // in this run
  std::vector<std::function<void()>> betweenCycles_;
  std::function<void()> wake_;
  // The trial of the run: its thread, its facts, the rows waiting for its files to open.
  std::unique_ptr<TrialFollower> follower_;
  TrialFacts facts_;
  std::vector<double> markerTimes_;
  std::string pendingRows_;
  bool trialFiles_ = false;
  bool trialRows_ = false;  // the trial's CSV rows are written out (Auto Save at its start)
  std::chrono::steady_clock::time_point checkpoint_;
  std::optional<PushAnalysis> lastTrial_;
};

// The samples of a trial of `length_s` at `interval_ms`: the fewest whose last is at or after
// it; 0 for no length.
std::int64_t TrialLengthSamples(double length_s, double interval_ms);

}  // namespace velquor
