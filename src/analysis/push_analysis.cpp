#include "analysis/push_analysis.h"

#include <cstddef>

#include "analysis/analysis_condition.h"
#include "analysis/push_summary.h"

namespace velquor {
namespace {

// One wheel's series as doubles of the stored singles, with the sample times.
struct Wheel {
  const DerivedSeries& s;
  int w;
  int n;
  double dt;

  double X(int i) const { return s.Torque(w, i); }
  double T(int i) const { return static_cast<double>(i) * dt; }
};

// Runs of torque strictly above the threshold, merged across dips of fewer than `gap`
// samples, then marked partial (touching sample 1 or n) or rejected (too short or too low).
std::vector<PushRun> FindRuns(const Wheel& wh, const PushParameters& p) {
  const int gap = DurationSamples(p.merge_gap, wh.dt);
  const int shortest = DurationSamples(p.min_push, wh.dt);
  std::vector<PushRun> runs;
  for (int i = 1; i <= wh.n; ++i) {
    if (!(wh.X(i) > p.threshold)) continue;
    const int first = i;
    while (i < wh.n && wh.X(i + 1) > p.threshold) ++i;
    if (!runs.empty() && first - runs.back().last - 1 < gap) {
      runs.back().last = i;
    } else {
      runs.push_back({first, i, PushRunKind::kPush});
    }
  }
  for (PushRun& r : runs) {
    if (r.first == 1 || r.last == wh.n) {
      r.kind = PushRunKind::kPartial;
      continue;
    }
    double peak = wh.X(r.first);
    for (int i = r.first + 1; i <= r.last; ++i) {
      if (wh.X(i) > peak) peak = wh.X(i);
    }
    if (r.last - r.first + 1 < shortest || peak < p.min_peak) r.kind = PushRunKind::kRejected;
  }
  return runs;
}

// Onset and end of a push interpolated at the threshold between the neighbouring samples.
double Onset(const Wheel& wh, int s, double thr) {
  return wh.T(s - 1) + wh.dt * (thr - wh.X(s - 1)) / (wh.X(s) - wh.X(s - 1));
}
double End(const Wheel& wh, int e, double thr) {
  return wh.T(e) + wh.dt * (wh.X(e) - thr) / (wh.X(e) - wh.X(e + 1));
}

// The figures of one push that need only its own samples s..e and its onset and end.
void OwnFigures(const Wheel& wh, Push& push) {
  auto set = [&push](PushFigure f, double v) { push.figures.at(static_cast<std::size_t>(f)) = v; };
  const int s = push.first;
  const int e = push.last;
  const double on = *push.Figure(PushFigure::kOn);
  const double off = *push.Figure(PushFigure::kOff);
  set(PushFigure::kPushTime, off - on);
  set(PushFigure::kContactAngle,
      static_cast<double>(wh.s.Angle_deg(wh.w, e)) - static_cast<double>(wh.s.Angle_deg(wh.w, s)));

  double peak = wh.X(s), torque_sum = 0, peak_power = wh.s.Power(wh.w, s), power_sum = 0;
  double work = 0, speed_sum = 0;
  int peak_at = s;
  for (int i = s; i <= e; ++i) {
    const double x = wh.X(i);
    const double power = wh.s.Power(wh.w, i);
    if (x > peak) {
      peak = x;
      peak_at = i;
    }
    if (power > peak_power) peak_power = power;
    torque_sum += x;
    power_sum += power;
    work += power * wh.dt;
    speed_sum += static_cast<double>(wh.s.Speed(wh.w, i));
  }
  const double count = e - s + 1;
  const double time_to_peak = wh.T(peak_at) - on;
  const double mean_torque = torque_sum / count;
  set(PushFigure::kPeakTorque, peak);
  set(PushFigure::kTimeToPeak, time_to_peak);
  set(PushFigure::kMeanTorque, mean_torque);
  if (time_to_peak > 0) set(PushFigure::kRateOfRise, peak / time_to_peak);
  if (peak > 0) set(PushFigure::kSmoothness, mean_torque / peak);
  set(PushFigure::kPeakPower, peak_power);
  set(PushFigure::kMeanPower, power_sum / count);
  set(PushFigure::kPushWork, work);
  set(PushFigure::kMeanSpeed, speed_sum / count);
}

// The figures that reach to the next push: cycle, recovery, push fraction, negative work.
void FiguresToNext(const Wheel& wh, Push& push, const Push& next) {
  auto set = [&push](PushFigure f, double v) { push.figures.at(static_cast<std::size_t>(f)) = v; };
  const double on = *push.Figure(PushFigure::kOn);
  const double next_on = *next.Figure(PushFigure::kOn);
  const double cycle = next_on - on;
  set(PushFigure::kCycleTime, cycle);
  set(PushFigure::kRecoveryTime, next_on - *push.Figure(PushFigure::kOff));
  set(PushFigure::kPushFraction, 100 * *push.Figure(PushFigure::kPushTime) / cycle);
  double negative = 0;
  for (int i = push.first; i <= next.first - 1; ++i) {
    const double power = wh.s.Power(wh.w, i);
    negative += (power < 0 ? power : 0.0) * wh.dt;
  }
  set(PushFigure::kNegativeWork, negative);
}

WheelPushes AnalyseWheel(const Wheel& wh, const PushParameters& p) {
  WheelPushes out;
  out.wheel = wh.w;
  out.runs = FindRuns(wh, p);
  for (const PushRun& r : out.runs) {
    if (r.kind == PushRunKind::kPartial) ++out.summary.partial;
    if (r.kind == PushRunKind::kRejected) ++out.summary.rejected;
    if (r.kind != PushRunKind::kPush) continue;
    Push push;
    push.number = static_cast<int>(out.pushes.size()) + 1;
    push.first = r.first;
    push.last = r.last;
    push.figures.at(static_cast<std::size_t>(PushFigure::kOn)) = Onset(wh, r.first, p.threshold);
    push.figures.at(static_cast<std::size_t>(PushFigure::kOff)) = End(wh, r.last, p.threshold);
    OwnFigures(wh, push);
    out.pushes.push_back(push);
  }
  for (std::size_t k = 0; k + 1 < out.pushes.size(); ++k) {
    FiguresToNext(wh, out.pushes[k], out.pushes[k + 1]);
  }
  const int partial = out.summary.partial;
  const int rejected = out.summary.rejected;
  out.summary = SummarisePushes(out.pushes, p);
  out.summary.pushes = static_cast<int>(out.pushes.size());
  out.summary.partial = partial;
  out.summary.rejected = rejected;
  out.curve = MeanPushCurve(out.pushes, p, wh.s, wh.w, wh.n, wh.dt);
  return out;
}

}  // namespace

Result<PushAnalysis> AnalysePushes(const DerivedSeries& s, const MeasurementRecord& rec,
                                   const PushParameters& p) {
  if (Status st = CheckPushParameters(p); !st) return st.problem();
  if (Status st = CheckSamplesAndInterval(rec); !st) return st.problem();
  PushAnalysis out;
  out.parameters = p;
  out.dt = rec.SampInterval / 1000;
  out.samples = static_cast<int>(rec.DataNum);
  for (int w = 0; w < 2; ++w) {
    out.wheels.at(static_cast<std::size_t>(w)) = AnalyseWheel(Wheel{s, w, out.samples, out.dt}, p);
  }
  return out;
}

}  // namespace velquor
