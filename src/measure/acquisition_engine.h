// The acquisition engine: a thread that owns the driver during a run, sleeps until just
// before each tick of a monotonic clock and takes the sample on it, and hands every finished
// cycle over while the next one is already being sampled into the other of two blocks.
#pragma once

#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "daq/device_state.h"
#include "daq/driver.h"
#include "measure/pacing_clock.h"
#include "measure/take_sample.h"
#include "record/sample_block.h"

namespace velquor {

class AcquisitionEngine {
 public:
  // The last part of the wait before a tick is spent looking at the clock instead of
  // sleeping, so the sample is taken on the tick although a sleep may end late.
  static constexpr std::int64_t kSpinNs = 150'000;

  AcquisitionEngine(AcqDriver& driver, DeviceState& device, PacingClock& clock);
  ~AcquisitionEngine();
  AcquisitionEngine(const AcquisitionEngine&) = delete;
  AcquisitionEngine& operator=(const AcquisitionEngine&) = delete;

  // The pacing period of a run: the interval rounded to whole milliseconds, halves to even;
  // 0 when it rounds to nothing, and then no sample is ever due.
  static std::int64_t LoopIntervalMs(double samp_interval_ms);

  // Starts a run on the engine's own thread: cycles of `data_num` samples (at most 2000),
  // the first sample one interval after the start, until RequestStop. False when a run is
  // still going.
  bool Start(double samp_interval_ms, int data_num);
  // The same run on the calling thread, returning when it has ended.
  void RunHere(double samp_interval_ms, int data_num);
  // A new cycle length: a count already reached ends the cycle at once.
  void SetDataNum(int data_num);
  // The run stops by itself once the cycle that brings its samples to `samples` is
  // finished; 0 for no limit. Set before Start.
  void SetRunSamples(std::int64_t samples) { run_limit_.store(samples); }
  // The run ends before its next sample; the cycle being sampled is abandoned.
  void RequestStop();
  bool StopRequested() const { return stop_.load(); }
  // From Start until the run has ended.
  bool Running() const { return running_.load(); }
  void Join();

  // The oldest finished cycle not yet taken, or nothing. The block is the caller's until
  // it is given back with Release; the engine samples into the other one meanwhile.
  SampleBlock* TakeFinished();
  // Waits up to `timeout` for a finished cycle to be there or the run to end.
  void WaitForCycle(std::chrono::milliseconds timeout);
  void Release(SampleBlock* block);
  // Called on the acquisition thread when a cycle is finished and when the run ends.
  void SetWakeHook(std::function<void()> hook) { wake_ = std::move(hook); }

  // For the screens while sampling: the block being filled (its count grows; it is not
  // reused before the caller has released the block it holds), or null between cycles.
  const SampleBlock* Filling() const { return filling_.load(std::memory_order_acquire); }
  // Whether the last sample was due before the thread came to it (the loop is behind).
  bool CatchingUp() const { return catching_up_.load(std::memory_order_relaxed); }
  // How many samples of the run were due before the thread came to them; a screen that
  // looks now and then sees from its growth that the loop was behind meanwhile.
  std::int64_t SamplesBehind() const { return behind_.load(std::memory_order_relaxed); }
  // Samples of the cycle under way, or of the one the run ended in.
  int SampleNo() const { return sample_no_.load(std::memory_order_relaxed); }
  // The read that ended the run by itself, or nothing (a run that ran until Stop). The
  // cycle it happened in is given back unfinished; the cycles before it were handed over.
  std::optional<ReadFault> Fault() const;
  // Messages for the notice log (priority not granted, priority given up, the driver's own
  // notes), once each.
  std::vector<std::string> TakeNotices();
  // Once the run has ended (after Join): the block it ended in, with the samples taken of
  // the cycle that was abandoned or failed, or null when it ended between cycles. Nothing
  // samples into it again before the next Start.
  const SampleBlock* EndedIn() const { return ended_in_.load(std::memory_order_acquire); }

 private:
  enum class BlockState { kFree, kFilling, kFinished, kHeld };

  // Before a run: no block held or finished, the flags of a new run.
  void Reset(int data_num);
  void Run(std::int64_t interval_ms);
  SampleBlock* AcquireFree();
  void Finish(SampleBlock* block);
  void Note(std::string text);
  void Wake();
  int IndexOf(const SampleBlock* block) const;

  AcqDriver& driver_;
  DeviceState& device_;
  PacingClock& clock_;
  std::array<std::unique_ptr<SampleBlock>, 2> blocks_;
  std::array<BlockState, 2> state_{BlockState::kFree, BlockState::kFree};
  std::deque<SampleBlock*> finished_;
  std::vector<std::string> notices_;
  std::optional<ReadFault> fault_;
  mutable std::mutex mutex_;
  std::condition_variable changed_;
  std::function<void()> wake_;
  std::thread thread_;
  std::atomic<bool> stop_{false};
  std::atomic<bool> running_{false};
  std::atomic<bool> catching_up_{false};
  std::atomic<std::int64_t> behind_{0};
  std::atomic<int> sample_no_{0};
  std::atomic<int> data_num_{0};
  std::atomic<SampleBlock*> filling_{nullptr};
  std::atomic<const SampleBlock*> ended_in_{nullptr};
  std::atomic<std::int64_t> run_limit_{0};
  std::int64_t run_samples_ = 0;  // of the run, in the cycles finished (acquisition thread)
};

}  // namespace velquor
