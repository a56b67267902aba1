// Finds the pushes of one wheel as its samples arrive: a run is settled the moment the merge
// gap has passed below the threshold after it, or when the record ends, with its figures.
#pragma once

#include <cstdint>
#include <vector>

#include "analysis/push_analysis.h"
#include "analysis/push_series.h"

namespace velquor {

// What one sample (or the end) settled: the push that became final with every figure of its
// own, and the push before it that now has its figures reaching to the next; 0 for none.
struct PushNews {
  int final_push = 0;
  int completed_push = 0;
  std::int64_t sample = 0;  // the last sample taken when it was settled
};

// The detector of one wheel. Every call passes the same series, holding every sample taken.
class WheelPushDetector {
 public:
  // `p` must have passed CheckPushParameters; dt is the interval in seconds.
  WheelPushDetector(int wheel, const PushParameters& p, double dt);

  // Takes sample Samples() + 1, whose torque is x (the series holds it already).
  PushNews Take(const PushSeries& s, double x);

  // The record ends at the last sample taken: the run still open is settled as the whole
  // record's analysis settles it. A sample taken afterwards is ignored.
  PushNews End(const PushSeries& s);

  std::int64_t Samples() const { return n_; }
  bool Ended() const { return ended_; }
  const std::vector<Push>& Pushes() const { return pushes_; }

  // The runs and pushes settled so far, the summary of those pushes and their mean curve;
  // until the end the summary leaves no push out at the end (skip_last is taken as 0).
  WheelPushes Analysis(const PushSeries& s) const;

 private:
  PushNews Settle(const PushSeries& s, bool at_end);
  PushRunKind KindOf(const PushRun& r) const;
  double OwnFigures(const PushSeries& s, Push& push);
  void FiguresToNext(const PushSeries& s, Push& push, const Push& next);

  int wheel_;
  PushParameters p_;
  double dt_;
  std::int64_t gap_;       // n(merge_gap)
  std::int64_t shortest_;  // n(min_push)
  std::int64_t window_;    // n(0.02 s), the samples of the peak power's mean
  std::int64_t n_ = 0;     // samples taken
  bool open_ = false;      // a run above the threshold is not yet settled
  bool ended_ = false;
  std::int64_t first_ = 0, last_ = 0;  // of the open run: first and last sample above
  double peak_ = 0;                    // of the open run: its largest torque
  double negative_ = 0;  // negative work of the last push over its own samples, summed so far
  int partial_ = 0, rejected_ = 0;
  std::vector<PushRun> runs_;
  std::vector<Push> pushes_;
  std::vector<PushSample> read_;  // the samples being figured, reused
  std::vector<double> power_;     // the power of the push being figured, reused
};

}  // namespace velquor
