#include "analysis/push_detector.h"

#include <cstddef>

#include "analysis/push_summary.h"

namespace velquor {
namespace {

constexpr double kPeakPowerWindow = 0.02;  // s, the span peak power is averaged over

void Set(Push& push, PushFigure f, double v) {
  push.figures.at(static_cast<std::size_t>(f)) = v;
}

double T(std::int64_t i, double dt) {
  return static_cast<double>(i) * dt;
}

// Onset and end of a push interpolated at the threshold between the neighbouring samples.
double Onset(const PushSeries& s, std::int64_t first, double thr, double dt) {
  const double before = s.Torque(first - 1);
  return T(first - 1, dt) + dt * (thr - before) / (s.Torque(first) - before);
}
double PushEnd(const PushSeries& s, std::int64_t last, double thr, double dt) {
  const double x = s.Torque(last);
  return T(last, dt) + dt * (x - thr) / (x - s.Torque(last + 1));
}

// The largest mean of `window` consecutive powers, each window summed afresh in sample order;
// the mean of them all when there are fewer. `power` is not empty.
double WindowedPeak(const std::vector<double>& power, std::int64_t window) {
  const auto count = static_cast<std::int64_t>(power.size());
  const std::int64_t k = window < count ? window : count;
  const auto uk = static_cast<std::size_t>(k);
  double peak = 0;
  for (std::size_t j = 0; j + uk <= power.size(); ++j) {
    double sum = 0;
    for (std::size_t m = j; m < j + uk; ++m) sum += power[m];
    const double mean = sum / static_cast<double>(k);
    if (j == 0 || mean > peak) peak = mean;
  }
  return peak;
}

}  // namespace

WheelPushDetector::WheelPushDetector(int wheel, const PushParameters& p, double dt)
    : wheel_(wheel),
      p_(p),
      dt_(dt),
      gap_(DurationSamples(p.merge_gap, dt)),
      shortest_(DurationSamples(p.min_push, dt)),
      window_(DurationSamples(kPeakPowerWindow, dt)) {}

PushNews WheelPushDetector::Take(const PushSeries& s, double x) {
  if (ended_) return {};  // the record has ended: a sample after it is not its own
  ++n_;
  if (x > p_.threshold) {
    if (!open_) {
      first_ = n_;
      peak_ = x;
    } else if (x > peak_) {
      peak_ = x;  // a dip between, at or below the threshold, is never the largest
    }
    open_ = true;
    last_ = n_;
    return {};
  }
  // The merge gap has passed below the threshold: no later run can join this one.
  if (open_ && n_ - last_ >= gap_) return Settle(s, false);
  return {};
}

PushNews WheelPushDetector::End(const PushSeries& s) {
  PushNews news;
  if (open_ && !ended_) news = Settle(s, true);
  ended_ = true;
  return news;
}

PushRunKind WheelPushDetector::KindOf(const PushRun& r) const {
  // A run touching the record's first or last sample was cut by it.
  if (r.first == 1 || (ended_ && r.last == n_)) return PushRunKind::kPartial;
  if (r.last - r.first + 1 < shortest_ || peak_ < p_.min_peak) return PushRunKind::kRejected;
  return PushRunKind::kPush;
}

PushNews WheelPushDetector::Settle(const PushSeries& s, bool at_end) {
  open_ = false;
  ended_ = at_end;
  PushRun run{first_, last_, PushRunKind::kPush};
  run.kind = KindOf(run);
  runs_.push_back(run);
  if (run.kind == PushRunKind::kPartial) ++partial_;
  if (run.kind == PushRunKind::kRejected) ++rejected_;
  if (run.kind != PushRunKind::kPush) return {};

  Push push;
  push.number = static_cast<int>(pushes_.size()) + 1;
  push.first = run.first;
  push.last = run.last;
  Set(push, PushFigure::kOn, Onset(s, run.first, p_.threshold, dt_));
  Set(push, PushFigure::kOff, PushEnd(s, run.last, p_.threshold, dt_));
  const double negative = OwnFigures(s, push);
  PushNews news{push.number, 0, n_};
  if (!pushes_.empty()) {
    FiguresToNext(s, pushes_.back(), push);
    news.completed_push = pushes_.back().number;
  }
  negative_ = negative;
  pushes_.push_back(push);
  return news;
}

// The figures of one push that need only its own samples s..e and its onset and end; gives the
// negative work over s..e, which the next push's onset extends.
double WheelPushDetector::OwnFigures(const PushSeries& s, Push& push) {
  const std::int64_t first = push.first;
  const std::int64_t last = push.last;
  const double on = *push.Figure(PushFigure::kOn);
  const double off = *push.Figure(PushFigure::kOff);
  Set(push, PushFigure::kPushTime, off - on);
  Set(push, PushFigure::kContactAngle, s.AngleDeg(last) - s.AngleDeg(first));

  power_.clear();
  s.Read(first, last, read_);
  double peak = read_.front().torque, torque_sum = 0, power_sum = 0, work = 0, speed_sum = 0;
  double negative = 0;
  std::int64_t peak_at = first;
  for (std::int64_t i = first; i <= last; ++i) {
    const PushSample& v = read_[static_cast<std::size_t>(i - first)];
    const double x = v.torque;
    const double power = v.power;
    if (x > peak) {
      peak = x;
      peak_at = i;
    }
    power_.push_back(power);
    torque_sum += x;
    power_sum += power;
    work += power * dt_;
    negative += (power < 0 ? power : 0.0) * dt_;
    speed_sum += v.speed;
  }
  const auto count = static_cast<double>(last - first + 1);
  const double time_to_peak = T(peak_at, dt_) - on;
  const double mean_torque = torque_sum / count;
  Set(push, PushFigure::kPeakTorque, peak);
  Set(push, PushFigure::kTimeToPeak, time_to_peak);
  Set(push, PushFigure::kMeanTorque, mean_torque);
  if (time_to_peak > 0) Set(push, PushFigure::kRateOfRise, peak / time_to_peak);
  if (peak > 0) Set(push, PushFigure::kSmoothness, mean_torque / peak);
  Set(push, PushFigure::kPeakPower, WindowedPeak(power_, window_));
  Set(push, PushFigure::kMeanPower, power_sum / count);
  Set(push, PushFigure::kPushWork, work);
  Set(push, PushFigure::kMeanSpeed, speed_sum / count);
  return negative;
}

// The figures that reach to the next push: cycle, recovery, push fraction, negative work.
void WheelPushDetector::FiguresToNext(const PushSeries& s, Push& push, const Push& next) {
  const double on = *push.Figure(PushFigure::kOn);
  const double next_on = *next.Figure(PushFigure::kOn);
  const double cycle = next_on - on;
  Set(push, PushFigure::kCycleTime, cycle);
  Set(push, PushFigure::kRecoveryTime, next_on - *push.Figure(PushFigure::kOff));
  Set(push, PushFigure::kPushFraction, 100 * *push.Figure(PushFigure::kPushTime) / cycle);
  double negative = negative_;  // summed over the push's own samples, in the same order
  s.Read(push.last + 1, next.first - 1, read_);
  for (const PushSample& v : read_) negative += (v.power < 0 ? v.power : 0.0) * dt_;
  Set(push, PushFigure::kNegativeWork, negative);
}

WheelPushes WheelPushDetector::Analysis(const PushSeries& s) const {
  PushParameters p = p_;
  if (!ended_) p.skip_last = 0;
  WheelPushes out;
  out.wheel = wheel_;
  out.runs = runs_;
  out.pushes = pushes_;
  out.summary = SummarisePushes(pushes_, p);
  out.summary.pushes = static_cast<int>(pushes_.size());
  out.summary.partial = partial_;
  out.summary.rejected = rejected_;
  out.curve = MeanPushCurve(pushes_, p, s, n_, dt_);
  return out;
}

}  // namespace velquor
