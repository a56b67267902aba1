// How a run paced by the card's clock keeps its ticks on the card's scans: the ticks follow
// the card's clock as it drifts from the computer's, never a steady lag, and the delivery of
// the scans (one at a time or in bunches) is noted for each cycle.
#pragma once

#include <cstdint>
#include <limits>
#include <vector>

namespace velquor {

class ScanFollower {
 public:
  // The ticks move after this many scans, by what the earliest of them shows.
  static constexpr int kWindow = 16;
  // The most two clocks may drift apart, per unit of time: a card's crystal (100 ppm at
  // worst) against the computer's monotonic clock, which the system's time keeping may slew
  // by up to 500 ppm, with room to spare.
  static constexpr double kMostDrift = 1e-3;

  // `start_ns`: the moment the command was started, on the computer's clock (scan k is made
  // k intervals after it on the card's clock).
  ScanFollower(std::int64_t start_ns, std::int64_t interval_ns);

  // The scan of the tick `tick_ns` was handed over at `arrival_ns`: gives how far the ticks
  // move (negative: earlier), 0 until a window of scans is complete.
  std::int64_t Arrived(std::int64_t tick_ns, std::int64_t arrival_ns);

  // A new cycle: its delivery is counted afresh.
  void NewCycle();
  // The number of scans the card most often handed over at once during the cycle (1 when
  // they came one by one, 0 before any came); of two as common, the larger.
  int CommonDelivery();

 private:
  void EndBunch();

  std::int64_t start_ns_;
  std::int64_t interval_ns_;
  std::int64_t least_ = std::numeric_limits<std::int64_t>::max();
  int in_window_ = 0;
  bool based_ = false;
  std::int64_t base_ = 0;   // the least lateness of the first window: a lag, never followed
  std::int64_t shift_ = 0;  // how far the ticks have moved so far, later positive
  std::int64_t last_arrival_ = 0;
  bool arrived_ = false;
  int bunch_ = 0;             // scans of the bunch being handed over
  std::vector<int> bunches_;  // by size: how many bunches of the cycle had it
};

}  // namespace velquor
