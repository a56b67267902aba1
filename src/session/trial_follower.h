// The trial of a run followed on a thread of its own: every sample the acquisition engine
// takes joins the trial's series, the pushes are found as they become final, markers are
// placed and the rows of the trial's file are written out, all off the acquisition thread.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "analysis/push_analysis.h"
#include "analysis/trial_pushes.h"
#include "analysis/trial_series.h"
#include "common/result.h"
#include "measure/acquisition_engine.h"
#include "record/trial_facts.h"
#include "session/session_host.h"

namespace velquor {

class TrialFollower {
 public:
  // What the follower gathered for the host since it last looked.
  struct News {
    std::vector<TrialPushEvent> pushes;
    std::vector<TrialMarker> markers;  // placed meanwhile
    std::vector<std::string> notices;
    std::string rows;  // the trial's CSV rows written out meanwhile, each ending in LF
  };

  // Follows the run of `engine` from its first cycle. `wake` is called on the follower's
  // thread when there is news, and at least every second while the run goes; `rows` asks
  // for the CSV rows to be written out.
  TrialFollower(const AcquisitionEngine& engine, double interval_ms, const Calibration& cal,
                bool shift, const PushParameters& p, bool rows, std::function<void()> wake);
  ~TrialFollower();
  TrialFollower(const TrialFollower&) = delete;
  TrialFollower& operator=(const TrialFollower&) = delete;

  // Starts the thread; refused push parameters give their problem and no thread.
  Status Start();

  // On the host's thread, before a finished block is given back to the engine: returns once
  // every sample of it is in the trial.
  void Through(const SampleBlock& block);
  // On the host's thread once the engine's run has ended (joined): takes the samples of the
  // block it ended in, settles the pushes not yet final and ends the thread.
  void Finish(const SampleBlock* ended_in);

  // Markers at trial times (s), placed on the sample nearest each when it is taken. Before
  // Start.
  void MarkAt(const std::vector<double>& seconds);
  // The next marker at the latest sample in the trial; nothing before the first sample, or
  // when the latest one is marked already.
  std::optional<TrialMarker> PlaceMarker(const std::string& label);
  // A label for a marker placed earlier; false when there is no such marker.
  bool LabelMarker(int number, const std::string& label);

  News TakeNews();
  std::int64_t Samples() const;
  // The samples of the trial when cycle k (from 1) began; 0 when not known.
  std::int64_t FirstSampleOf(int cycle) const;
  // The cycle (from 1) a sample of the trial was taken in, and its number in that cycle.
  struct CyclePlace {
    int cycle = 0;
    int sample = 0;
  };
  std::optional<CyclePlace> PlaceOf(std::int64_t sample) const;
  // The pushes so far with their summary and curve; after Finish, the whole trial's.
  PushAnalysis Analysis() const;
  std::vector<TrialMarker> Markers() const;
  bool Finished() const;
  // Bytes the trial's samples hold.
  std::size_t MemoryBytes() const;
  // The whole trial's series once it has finished (nothing before): no sample is added to it
  // after that, so it may be drawn from while the follower is gone.
  std::shared_ptr<const TrialSeries> FinishedSeries() const;

 private:
  void Loop();
  // Takes samples of `b` up to `upto` that are not in the trial yet (b is the cycle followed).
  void Take(const SampleBlock& b, int upto);
  void TakeLive();
  void TakeClosed(const SampleBlock& b);
  void Settled(int wheel, const PushNews& news);
  void WriteRows(std::int64_t through);
  int MarkerAt(std::int64_t sample) const;

  const AcquisitionEngine& engine_;
  std::function<void()> wake_;
  bool rows_wanted_;
  mutable std::mutex mutex_;
  std::condition_variable changed_;
  std::shared_ptr<TrialSeries> series_;
  PushParameters parameters_;
  std::optional<TrialPushes> pushes_;
  std::thread thread_;
  bool quit_ = false;
  bool finished_ = false;
  const SampleBlock* offered_ = nullptr;  // by Through, until it is taken
  const SampleBlock* ended_in_ = nullptr;
  bool ending_ = false;
  // The cycle being followed and how many of its samples the trial holds.
  int cycle_ = 1;
  int taken_ = 0;
  const SampleBlock* current_ = nullptr;
  std::vector<std::int64_t> first_samples_;  // of cycles 1, 2, ...
  std::vector<double> timed_;                // marker times not reached yet, in order
  std::vector<TrialMarker> markers_;
  std::int64_t rows_through_ = 0;
  News news_;
  std::chrono::steady_clock::time_point last_wake_;
};

}  // namespace velquor
