#include "measure/scan_follower.h"

#include <algorithm>
#include <cmath>

#include "common/grid.h"

namespace velquor {

ScanFollower::ScanFollower(std::int64_t start_ns, std::int64_t interval_ns)
    : start_ns_(start_ns),
      interval_ns_(interval_ns),
      bunches_(static_cast<std::size_t>(kSampleSlots) + 1, 0) {}

std::int64_t ScanFollower::Arrived(std::int64_t tick_ns, std::int64_t arrival_ns) {
  // Scans handed over less than half an interval apart came in one bunch.
  if (arrived_ && arrival_ns - last_arrival_ < interval_ns_ / 2) {
    ++bunch_;
  } else {
    EndBunch();
    bunch_ = 1;
  }
  arrived_ = true;
  last_arrival_ = arrival_ns;

  least_ = std::min(least_, arrival_ns - tick_ns);
  if (++in_window_ < kWindow) return 0;
  const std::int64_t least = least_;
  least_ = std::numeric_limits<std::int64_t>::max();
  in_window_ = 0;
  std::int64_t move = 0;
  if (least < 0) {
    // A scan is never handed over before it is made: the ticks were late, by at least this.
    move = least;
  } else if (!based_) {
    // What the first scans show beyond their ticks is how late the card hands its scans over
    // (or when it really started): a lag, which stays in the lateness.
    base_ = least;
  } else if (least > base_) {
    // Beyond that, the card's clock runs slower than the computer's, by no more than drift:
    // as much as the window's time allows, and in all as much as the run's time allows, so a
    // thread held up through a window moves the ticks by little.
    const double window_ns = static_cast<double>(kWindow) * static_cast<double>(interval_ns_);
    const auto drifted =
        static_cast<std::int64_t>(kMostDrift * static_cast<double>(arrival_ns - start_ns_));
    const auto per_window = static_cast<std::int64_t>(std::ceil(kMostDrift * window_ns));
    const std::int64_t room = std::min(per_window, drifted - shift_);
    move = std::clamp<std::int64_t>(least - base_, 0, std::max<std::int64_t>(0, room));
  }
  based_ = true;
  shift_ += move;
  return move;
}

void ScanFollower::EndBunch() {
  if (bunch_ <= 0) return;
  const auto at = static_cast<std::size_t>(std::min<int>(bunch_, kSampleSlots));
  ++bunches_.at(at);
  bunch_ = 0;
}

void ScanFollower::NewCycle() {
  std::fill(bunches_.begin(), bunches_.end(), 0);
}

int ScanFollower::CommonDelivery() {
  EndBunch();
  int common = 0;
  for (std::size_t size = 1; size < bunches_.size(); ++size) {
    if (bunches_.at(size) > 0 && bunches_.at(size) >= bunches_.at(static_cast<std::size_t>(common)))
      common = static_cast<int>(size);
  }
  return common;
}

}  // namespace velquor
