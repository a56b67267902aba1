#include "measure/acquisition_engine.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <exception>
#include <limits>
#include <utility>

#include "common/number_parse.h"
#include "measure/scan_follower.h"
#include "measure/take_sample.h"

namespace velquor {
namespace {

constexpr std::int64_t kNsPerMs = 1'000'000;
// Longest single sleep, so a Stop is seen soon even at long intervals.
constexpr std::int64_t kLongestSleepNs = 50 * kNsPerMs;
// How often the thread looks again while both blocks are still held by the consumer.
constexpr std::int64_t kBlockWaitNs = kNsPerMs / 2;
// A cycle paced by the card with more of its ports read late than this share of its samples
// ends the card's pacing when the card hands its scans over in bunches.
constexpr int kMostLatePercent = 1;

}  // namespace

AcquisitionEngine::AcquisitionEngine(AcqDriver& driver, DeviceState& device, PacingClock& clock)
    : driver_(driver), device_(device), clock_(clock) {
  for (auto& b : blocks_) b = std::make_unique<SampleBlock>();
}

AcquisitionEngine::~AcquisitionEngine() {
  RequestStop();
  Join();
}

std::int64_t AcquisitionEngine::LoopIntervalMs(double samp_interval_ms) {
  const double rounded = RoundHalfEven(samp_interval_ms);
  if (!std::isfinite(rounded)) return 0;
  return static_cast<std::int64_t>(std::clamp(rounded, 0.0, 2147483647.0));
}

void AcquisitionEngine::Reset(int data_num) {
  {
    // Cycles a run finished after its consumer stopped looking are not part of the next.
    std::lock_guard lock(mutex_);
    finished_.clear();
    state_.fill(BlockState::kFree);
    fault_.reset();
  }
  SetDataNum(data_num);
  stop_.store(false);
  ended_in_.store(nullptr);
  run_samples_ = 0;
  sample_no_.store(0);
  behind_.store(0);
  running_.store(true);
}

bool AcquisitionEngine::Start(double samp_interval_ms, int data_num) {
  if (running_.load()) return false;
  Join();
  Reset(data_num);
  const std::int64_t interval = LoopIntervalMs(samp_interval_ms);
  thread_ = std::thread([this, interval] { Run(interval); });
  return true;
}

void AcquisitionEngine::RunHere(double samp_interval_ms, int data_num) {
  Reset(data_num);
  Run(LoopIntervalMs(samp_interval_ms));
}

void AcquisitionEngine::SetDataNum(int data_num) {
  data_num_.store(std::clamp(data_num, 0, kMaxSamples));
}

void AcquisitionEngine::RequestStop() {
  stop_.store(true);
  changed_.notify_all();
}

void AcquisitionEngine::Join() {
  if (thread_.joinable()) thread_.join();
}

int AcquisitionEngine::IndexOf(const SampleBlock* block) const {
  for (std::size_t k = 0; k < blocks_.size(); ++k) {
    if (blocks_.at(k).get() == block) return static_cast<int>(k);
  }
  return -1;
}

SampleBlock* AcquisitionEngine::TakeFinished() {
  std::lock_guard lock(mutex_);
  if (finished_.empty()) return nullptr;
  SampleBlock* block = finished_.front();
  finished_.pop_front();
  state_.at(static_cast<std::size_t>(IndexOf(block))) = BlockState::kHeld;
  return block;
}

void AcquisitionEngine::WaitForCycle(std::chrono::milliseconds timeout) {
  std::unique_lock lock(mutex_);
  changed_.wait_for(lock, timeout, [this] { return !finished_.empty() || !running_.load(); });
}

void AcquisitionEngine::Release(SampleBlock* block) {
  const int k = IndexOf(block);
  if (k < 0) return;
  std::lock_guard lock(mutex_);
  state_.at(static_cast<std::size_t>(k)) = BlockState::kFree;
}

std::optional<ReadFault> AcquisitionEngine::Fault() const {
  std::lock_guard lock(mutex_);
  return fault_;
}

std::vector<std::string> AcquisitionEngine::TakeNotices() {
  std::lock_guard lock(mutex_);
  return std::exchange(notices_, {});
}

void AcquisitionEngine::Note(std::string text) {
  std::lock_guard lock(mutex_);
  notices_.push_back(std::move(text));
}

void AcquisitionEngine::Wake() {
  changed_.notify_all();
  if (wake_) wake_();
}

SampleBlock* AcquisitionEngine::AcquireFree() {
  std::lock_guard lock(mutex_);
  for (std::size_t k = 0; k < blocks_.size(); ++k) {
    if (state_.at(k) == BlockState::kFree) {
      state_.at(k) = BlockState::kFilling;
      return blocks_.at(k).get();
    }
  }
  return nullptr;
}

void AcquisitionEngine::Finish(SampleBlock* block) {
  filling_.store(nullptr, std::memory_order_release);
  run_samples_ += block->count.load(std::memory_order_relaxed);
  // The driver's own notes (a replay starting over) are fetched on the thread that owns it.
  if (std::string note = driver_.TakeNotice(); !note.empty()) Note(std::move(note));
  {
    std::lock_guard lock(mutex_);
    state_.at(static_cast<std::size_t>(IndexOf(block))) = BlockState::kFinished;
    finished_.push_back(block);
  }
  Wake();
}

void AcquisitionEngine::Run(std::int64_t interval_ms) {
  if (interval_ms > 0) driver_.SetReadInterval(static_cast<double>(interval_ms));
  const std::string refused = clock_.RaisePriority();
  bool raised = refused.empty();
  if (!raised) {
    Note("Sampling runs at normal priority: real-time priority was not granted (" + refused + ")");
  }
  const std::int64_t interval = interval_ms * kNsPerMs;
  // A card with its own clock hands over a scan every interval: each read waits for it. Scan
  // k is made k intervals after the command's start on the card's clock; the moment before
  // the command was asked for is the earliest it can have started, so the ticks start there
  // (a first scan read late never sets them) and then follow the card's clock as it drifts.
  const std::int64_t asked_ns = clock_.NowNs();
  bool paced = interval > 0 && driver_.StartPacedReads(static_cast<double>(interval_ms));
  ScanFollower follower(asked_ns, interval);
  // Ticks lie on the grid start + k * interval for the whole run; cycles follow each other
  // on it without a gap unless both blocks are still held when a new cycle is due.
  std::int64_t tick = (paced ? asked_ns : clock_.NowNs()) + interval;
  int cycle = 0;
  SampleBlock* block = nullptr;
  std::int64_t waited_from = -1;  // when the thread began to wait for a free block
  int ports_late = 0;  // of the cycle, paced by the card: ports read over half an interval late
  while (!stop_.load()) {
    if (interval <= 0) {
      // An interval that rounds to 0 ms never paces a sample: the run idles until Stop.
      clock_.SleepUntilNs(clock_.NowNs() + kLongestSleepNs);
      continue;
    }
    if (block == nullptr) {
      block = AcquireFree();
      if (block == nullptr) {
        if (waited_from < 0) waited_from = clock_.NowNs();
        clock_.SleepUntilNs(clock_.NowNs() + kBlockWaitNs);
        continue;
      }
      // Ticks that passed while no block was free are missed, not taken late. Scans the card
      // made before that wait are waiting to be read, however late it hands them over.
      const std::int64_t now = clock_.NowNs();
      const std::int64_t from = paced ? std::max(tick, waited_from < 0 ? now : waited_from) : tick;
      const std::int64_t missed = std::max<std::int64_t>(0, (now - from) / interval);
      waited_from = -1;
      tick += missed * interval;
      if (paced) driver_.SkipPacedScans(missed);
      block->count.store(0, std::memory_order_relaxed);
      block->cycle = ++cycle;
      block->gap = missed;
      block->interval = static_cast<double>(interval_ms);
      block->paced = paced;
      follower.NewCycle();
      ports_late = 0;
      filling_.store(block, std::memory_order_release);
      sample_no_.store(0, std::memory_order_relaxed);
    }
    const int n = block->count.load(std::memory_order_relaxed) + 1;
    if (n > data_num_.load()) {
      if (paced && n > 1 && ports_late * 100 > (n - 1) * kMostLatePercent) {
        // Scans handed over in bunches leave the ports behind their scans by up to a bunch:
        // the next cycle is read sample by sample on the program's clock instead.
        const int delivered = follower.CommonDelivery();
        if (delivered > 1) {
          driver_.StopPacedReads();
          paced = false;
          Note("cycle " + std::to_string(block->cycle) + ": the card delivered " +
               std::to_string(delivered) +
               " scans at a time; the ports could not be read with their scans; reading sample "
               "by sample");
        }
      }
      Finish(block);
      block = nullptr;
      // A run of a set length ends with the cycle that reaches it, handed over whole.
      const std::int64_t limit = run_limit_.load();
      if (limit > 0 && run_samples_ >= limit) break;
      continue;
    }
    std::int64_t now = clock_.NowNs();
    const bool behind = now >= tick;
    while (!paced && now < tick && !stop_.load()) {
      if (tick - now > kSpinNs)
        clock_.SleepUntilNs(std::min(tick - kSpinNs, now + kLongestSleepNs));
      now = clock_.NowNs();
    }
    if (stop_.load()) break;
    if (n > data_num_.load()) continue;  // the cycle was shortened during the wait
    std::optional<ReadFault> fault;
    std::int64_t scan_read = now;
    try {
      fault = TakeSample(driver_, device_, block->Volt, block->PortByte, n,
                         [&] { scan_read = clock_.NowNs(); });
    } catch (const std::exception& e) {
      // Nothing on this thread may end the program: the run ends, the cycles handed over stay.
      fault =
          ReadFault{true, daq_code::kReadFailed, std::string("the device read threw: ") + e.what()};
    }
    if (fault) {
      // The cycle is not finished with samples that were never read: the run ends here and
      // the cycles handed over before it stay as they are.
      fault->cycle = block->cycle;
      fault->sample = n;
      std::lock_guard lock(mutex_);
      fault_ = std::move(fault);
      break;
    }
    if (paced) {
      // The tick is the scan's time: how late the scan was handed over, and how late after
      // it its ports were read.
      now = clock_.NowNs();
      block->LateMs(n) = static_cast<float>(static_cast<double>(scan_read - tick) / kNsPerMs);
      block->PortLagMs(n) = static_cast<float>(static_cast<double>(now - tick) / kNsPerMs);
      if (2 * (now - tick) > interval) ++ports_late;
      tick += follower.Arrived(tick, scan_read);
    } else {
      block->LateMs(n) = static_cast<float>(static_cast<double>(now - tick) / kNsPerMs);
      block->PortLagMs(n) = 0.0f;
    }
    block->count.store(n, std::memory_order_release);
    sample_no_.store(n, std::memory_order_relaxed);
    catching_up_.store(behind, std::memory_order_relaxed);
    if (behind) behind_.fetch_add(1, std::memory_order_relaxed);
    tick += interval;
    // A thread that is a whole cycle behind would take samples back to back at real-time
    // priority and keep every other program from running: it goes on at normal priority.
    const std::int64_t cycle_ns = interval * std::max(1, data_num_.load());
    if (raised && now - tick > cycle_ns) {
      clock_.LowerPriority();
      raised = false;
      Note("Sampling fell more than a cycle behind and goes on at normal priority");
    }
  }
  if (paced) driver_.StopPacedReads();
  if (raised) clock_.LowerPriority();
  filling_.store(nullptr, std::memory_order_release);
  ended_in_.store(block, std::memory_order_release);
  if (block != nullptr) Release(block);
  catching_up_.store(false);
  running_.store(false);
  Wake();
}

}  // namespace velquor
