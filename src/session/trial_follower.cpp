#include "session/trial_follower.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "daq/encoder_ports.h"
#include "files/trial_file_text.h"

namespace velquor {
namespace {

// How often the thread looks at the block being filled.
constexpr std::chrono::milliseconds kLook{5};
// The host hears from the follower at least this often while the run goes.
constexpr std::chrono::seconds kWakeAtLeast{1};

}  // namespace

TrialFollower::TrialFollower(const AcquisitionEngine& engine, double interval_ms,
                             const Calibration& cal, bool shift, const PushParameters& p, bool rows,
                             std::function<void()> wake)
    : engine_(engine),
      wake_(std::move(wake)),
      rows_wanted_(rows),
      series_(std::make_shared<TrialSeries>(interval_ms, cal, shift)),
      parameters_(p) {}

TrialFollower::~TrialFollower() {
  {
    std::lock_guard lock(mutex_);
    quit_ = true;
  }
  changed_.notify_all();
  if (thread_.joinable()) thread_.join();
}

Status TrialFollower::Start() {
  Result<TrialPushes> started = TrialPushes::Start(*series_, parameters_);
  if (!started) return started.problem();
  pushes_.emplace(std::move(started.value()));
  last_wake_ = std::chrono::steady_clock::now();
  thread_ = std::thread([this] { Loop(); });
  return Status::Ok();
}

void TrialFollower::Loop() {
  std::unique_lock lock(mutex_);
  while (!quit_) {
    changed_.wait_for(lock, kLook, [this] { return quit_ || offered_ != nullptr || ending_; });
    if (quit_) break;
    if (offered_ != nullptr) {
      TakeClosed(*offered_);
      offered_ = nullptr;
      changed_.notify_all();
    }
    if (ending_) {
      if (ended_in_ != nullptr) TakeClosed(*ended_in_);
      for (double t : timed_) {
        news_.notices.push_back("No marker at " + std::to_string(t) +
                                " s: the trial ended before it, at sample " +
                                std::to_string(series_->Samples()));
      }
      timed_.clear();
      pushes_->End([this](int w, const PushNews& n) { Settled(w, n); });
      WriteRows(series_->Samples());
      finished_ = true;
      ending_ = false;
      changed_.notify_all();
      break;
    }
    TakeLive();
    const bool news = !news_.pushes.empty() || !news_.markers.empty() || !news_.notices.empty();
    const auto now = std::chrono::steady_clock::now();
    if (wake_ && (news || now - last_wake_ >= kWakeAtLeast)) {
      last_wake_ = now;
      lock.unlock();
      wake_();
      lock.lock();
    }
  }
  lock.unlock();
  if (wake_) wake_();
}

void TrialFollower::TakeLive() {
  const SampleBlock* filling = engine_.Filling();
  // A block the follower was reading that is no longer being filled is finished: its count
  // is final, and it is not given back to the engine before Through has passed it here.
  if (current_ != nullptr && current_ != filling) TakeClosed(*current_);
  if (filling == nullptr || filling->cycle != cycle_) return;
  current_ = filling;
  Take(*filling, filling->count.load(std::memory_order_acquire));
}

void TrialFollower::TakeClosed(const SampleBlock& b) {
  if (b.cycle != cycle_) return;  // taken whole already
  Take(b, b.count.load(std::memory_order_acquire));
  ++cycle_;
  taken_ = 0;
  current_ = nullptr;
}

void TrialFollower::Take(const SampleBlock& b, int upto) {
  if (static_cast<int>(first_samples_.size()) < cycle_) {
    first_samples_.push_back(series_->Samples() + 1);
    if (b.gap > 0 && series_->Samples() > 0) {
      news_.notices.push_back("Cycle " + std::to_string(b.cycle) + " began " +
                              std::to_string(b.gap) +
                              " ticks late; the trial joins it to the cycle before without them");
    }
  }
  upto = std::min(upto, kMaxSamples);
  for (int i = taken_ + 1; i <= upto; ++i) {
    const EncoderCounts counts =
        UnpackEncoderPorts({b.PortByte(0, i), b.PortByte(1, i), b.PortByte(2, i)});
    series_->Append({b.Volt(0, i), b.Volt(1, i)}, counts);
    const std::int64_t n = series_->Samples();
    if (!timed_.empty() && std::llround(timed_.front() / series_->Dt()) <= n) {
      const int number = static_cast<int>(markers_.size()) + 1;
      markers_.push_back({number, n, static_cast<double>(n) * series_->Dt(), ""});
      news_.markers.push_back(markers_.back());
      timed_.erase(timed_.begin());
    }
  }
  taken_ = std::max(taken_, upto);
  pushes_->Follow([this](int w, const PushNews& n) { Settled(w, n); });
  // The latest sample's row waits, so that a marker placed at it is still written with it.
  WriteRows(series_->Samples() - 1);
}

void TrialFollower::Settled(int wheel, const PushNews& news) {
  const std::vector<Push>& list = pushes_->Pushes(wheel);
  const auto at = [&](int number) { return list.at(static_cast<std::size_t>(number - 1)); };
  if (news.completed_push != 0) {
    news_.pushes.push_back({wheel, at(news.completed_push), true, news.sample});
  }
  if (news.final_push != 0)
    news_.pushes.push_back({wheel, at(news.final_push), false, news.sample});
}

void TrialFollower::WriteRows(std::int64_t through) {
  if (!rows_wanted_) return;
  for (std::int64_t i = rows_through_ + 1; i <= through; ++i) {
    AppendTrialCsvRow(*series_, i, MarkerAt(i), news_.rows);
  }
  rows_through_ = std::max(rows_through_, through);
}

int TrialFollower::MarkerAt(std::int64_t sample) const {
  for (auto m = markers_.rbegin(); m != markers_.rend(); ++m) {
    if (m->sample == sample) return m->number;
    if (m->sample < sample) break;
  }
  return 0;
}

void TrialFollower::Through(const SampleBlock& block) {
  std::unique_lock lock(mutex_);
  if (!thread_.joinable() || finished_) return;
  offered_ = &block;
  changed_.notify_all();
  changed_.wait(lock, [this] { return offered_ == nullptr || finished_; });
}

void TrialFollower::Finish(const SampleBlock* ended_in) {
  {
    std::unique_lock lock(mutex_);
    if (!thread_.joinable() || finished_) return;
    ended_in_ = ended_in;
    ending_ = true;
    changed_.notify_all();
    changed_.wait(lock, [this] { return finished_; });
  }
  thread_.join();
}

std::shared_ptr<const TrialSeries> TrialFollower::FinishedSeries() const {
  std::lock_guard lock(mutex_);
  return finished_ ? series_ : nullptr;
}

void TrialFollower::MarkAt(const std::vector<double>& seconds) {
  std::lock_guard lock(mutex_);
  for (double s : seconds) {
    if (std::isfinite(s) && s >= 0) timed_.push_back(s);
  }
  std::sort(timed_.begin(), timed_.end());
}

std::optional<TrialMarker> TrialFollower::PlaceMarker(const std::string& label) {
  std::lock_guard lock(mutex_);
  const std::int64_t n = series_->Samples();
  if (n == 0 || finished_ || (!markers_.empty() && markers_.back().sample >= n)) {
    return std::nullopt;
  }
  const int number = static_cast<int>(markers_.size()) + 1;
  markers_.push_back({number, n, static_cast<double>(n) * series_->Dt(), label});
  return markers_.back();
}

bool TrialFollower::LabelMarker(int number, const std::string& label) {
  std::lock_guard lock(mutex_);
  if (number < 1 || number > static_cast<int>(markers_.size())) return false;
  markers_[static_cast<std::size_t>(number - 1)].label = label;
  return true;
}

TrialFollower::News TrialFollower::TakeNews() {
  std::lock_guard lock(mutex_);
  return std::exchange(news_, News{});
}

std::int64_t TrialFollower::Samples() const {
  std::lock_guard lock(mutex_);
  return series_->Samples();
}

std::int64_t TrialFollower::FirstSampleOf(int cycle) const {
  std::lock_guard lock(mutex_);
  if (cycle < 1 || cycle > static_cast<int>(first_samples_.size())) return 0;
  return first_samples_[static_cast<std::size_t>(cycle - 1)];
}

std::optional<TrialFollower::CyclePlace> TrialFollower::PlaceOf(std::int64_t sample) const {
  std::lock_guard lock(mutex_);
  if (sample < 1 || sample > series_->Samples()) return std::nullopt;
  const auto after = std::upper_bound(first_samples_.begin(), first_samples_.end(), sample);
  if (after == first_samples_.begin()) return std::nullopt;
  const auto cycle = static_cast<int>(after - first_samples_.begin());
  return CyclePlace{cycle, static_cast<int>(sample - *(after - 1) + 1)};
}

PushAnalysis TrialFollower::Analysis() const {
  std::lock_guard lock(mutex_);
  return pushes_ ? pushes_->Analysis() : PushAnalysis{};
}

std::vector<TrialMarker> TrialFollower::Markers() const {
  std::lock_guard lock(mutex_);
  return markers_;
}

bool TrialFollower::Finished() const {
  std::lock_guard lock(mutex_);
  return finished_;
}

std::size_t TrialFollower::MemoryBytes() const {
  std::lock_guard lock(mutex_);
  return series_->MemoryBytes();
}

}  // namespace velquor
