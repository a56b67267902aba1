#include "analysis/strokes.h"

#include <cmath>
#include <cstddef>

#include "analysis/analysis_condition.h"
#include "analysis/constants.h"
#include "common/number_parse.h"

namespace velquor {
namespace {

constexpr int kOnsets = 4;
constexpr int kFinalState = 2 * kOnsets + 1;  // all four onsets found

int JudgedChannel(JudgeChannel channel, const KinematicsResults& kin) {
  switch (channel) {
    case JudgeChannel::kCh0:
      return 0;
    case JudgeChannel::kCh1:
      return 1;
    case JudgeChannel::kAuto:
      break;
  }
  return kin.TqMax[0] >= kin.TqMax[1] ? 0 : 1;  // a tie goes to channel 0
}

// Walks the detector over samples 2..n and records the onsets in `out`; returns its state.
// State 0 waits for the start time; odd states wait for the torque to drop below the limit
// (so a push already under way at the start is not an onset), even states wait for it to
// rise above. A torque equal to the limit moves it neither way.
int DetectOnsets(const StrokeConditions& cond, const MeasurementRecord& rec, const DerivedSeries& s,
                 int ch, int n, StrokeResults& out) {
  int state = 0;
  for (int i = 2; i <= n && state < kFinalState; ++i) {
    const float judge = s.Torque(ch, i);
    const double t = i * rec.SampInterval / 1000;
    if (state == 0) {
      if (cond.StartPosCond <= t) state = 1;
    } else if (state % 2 == 1) {
      if (judge < cond.LimitCond) ++state;
    } else if (judge > cond.LimitCond) {
      const auto onset = static_cast<std::size_t>(state / 2);
      out.StrokeIdx.at(onset) = static_cast<std::int16_t>(i);
      out.StrokeTime.at(onset) = static_cast<float>(t);
      ++state;
    }
  }
  return state;
}

// Running extremes and mean of one quantity over a stroke. The mean adds every sample,
// divided by the number of steps and rounded to a single, to the stored single.
struct Stat {
  float max = 0, min = 0, av = 0;

  explicit Stat(float seed) : max(seed), min(seed) {}
  void Add(float v, int steps) {
    if (v > max) max = v;
    if (v < min) min = v;
    av = static_cast<float>(static_cast<double>(av) +
                            static_cast<float>(static_cast<double>(v) / steps));
  }
  // (max - min) / mean, left 0 when the mean is 0.
  float Fluctuation() const {
    if (av == 0) return 0;
    return static_cast<float>((static_cast<double>(max) - min) / av);
  }
};

// The heading's maximum is kept as a double but its minimum as a single, so the two
// extremes may differ in type; each is compared in double and stored in its own precision.
template <class V, class Max, class Min>
void Widen(V v, Max& max, Min& min) {
  if (v > max) max = static_cast<Max>(v);
  if (v < min) min = static_cast<Min>(v);
}

float AbsDiff(double a, double b) {
  return static_cast<float>(std::fabs(a - b));
}

void StrokeStatistics(const DerivedSeries& s, const KinematicsResults& kin, int k,
                      StrokeResults& out) {
  const auto kk = static_cast<std::size_t>(k);
  const int a = out.StrokeIdx.at(kk);
  const int b = out.StrokeIdx.at(kk + 1);
  const int steps = b - a;  // at least 2: a sample below the limit lies between two onsets

  Stat speed(s.Speed(kSpeedAv, a));
  std::array<Stat, 2> torque{Stat(s.Torque(0, a)), Stat(s.Torque(1, a))};
  std::array<Stat, 2> power{Stat(s.Power(0, a)), Stat(s.Power(1, a))};
  double alpha_max = s.Alpha_deg(a);
  auto alpha_min = static_cast<float>(s.Alpha_deg(a));
  float beta_max = s.Beta_deg(a), beta_min = s.Beta_deg(a);
  float y_max = s.y(a), y_min = s.y(a);

  // Both onsets included: steps + 1 samples, each divided by steps.
  for (int j = a; j <= b; ++j) {
    speed.Add(s.Speed(kSpeedAv, j), steps);
    for (int ch = 0; ch < 2; ++ch) {
      torque[static_cast<std::size_t>(ch)].Add(s.Torque(ch, j), steps);
      power[static_cast<std::size_t>(ch)].Add(s.Power(ch, j), steps);
    }
    Widen(s.Alpha_deg(j), alpha_max, alpha_min);
    Widen(s.Beta_deg(j), beta_max, beta_min);
    Widen(s.y(j), y_max, y_min);
  }

  out.StSpeedMax.at(kk) = speed.max;
  out.StSpeedMin.at(kk) = speed.min;
  out.StSpeedAv.at(kk) = speed.av;
  out.StdSpeed.at(kk) = speed.Fluctuation();
  for (std::size_t ch = 0; ch < 2; ++ch) {
    out.StTqMax.at(kk).at(ch) = torque[ch].max;
    out.StTqMin.at(kk).at(ch) = torque[ch].min;
    out.StTqAv.at(kk).at(ch) = torque[ch].av;
    out.StdTq.at(kk).at(ch) = torque[ch].Fluctuation();
    out.StPowerMax.at(kk).at(ch) = power[ch].max;
    out.StPowerMin.at(kk).at(ch) = power[ch].min;
    out.StPowerAv.at(kk).at(ch) = power[ch].av;
    out.StdPower.at(kk).at(ch) = power[ch].Fluctuation();
  }
  out.StAlphaMax.at(kk) = alpha_max;
  out.StAlphaMin.at(kk) = alpha_min;
  out.StAlphaDef.at(kk) = std::fabs(alpha_max - static_cast<double>(alpha_min));
  out.StBetaMax.at(kk) = beta_max;
  out.StBetaMin.at(kk) = beta_min;
  out.StBetaDef.at(kk) = AbsDiff(beta_max, beta_min);
  out.StYMax.at(kk) = y_max;
  out.StYMin.at(kk) = y_min;
  out.StYDef.at(kk) = AbsDiff(y_max, y_min);

  out.StTime.at(kk) =
      static_cast<float>(static_cast<double>(out.StrokeTime.at(kk + 1)) - out.StrokeTime.at(kk));
  const float dis = static_cast<float>(static_cast<double>(s.Distance(kDistanceAv, b)) -
                                       s.Distance(kDistanceAv, a));
  out.StDis.at(kk) = dis;
  out.StAngle.at(kk) = static_cast<float>(static_cast<double>(dis) / kin.WheelRadius * 180 / kPi5);
}

}  // namespace

StrokeConditions ReadStrokeConditions(std::string_view start_text, std::string_view limit_text,
                                      JudgeChannel channel) {
  StrokeConditions cond;
  cond.StartPosCond = Val(start_text);
  cond.LimitCond = static_cast<float>(Val(limit_text));
  cond.channel = channel;
  return cond;
}

Status CalcStrokes(const StrokeConditions& cond, const MeasurementRecord& rec,
                   const DerivedSeries& s, const KinematicsResults& kin, StrokeResults& out) {
  if (Status st = CheckSamplesAndInterval(rec); !st) return st;
  out = StrokeResults{};
  const int state = DetectOnsets(cond, rec, s, JudgedChannel(cond.channel, kin),
                                 static_cast<int>(rec.DataNum), out);
  // Each complete stroke lies between two onsets.
  out.StrokeCount = state >= kFinalState ? 3 : state >= 7 ? 2 : state >= 5 ? 1 : 0;
  for (int k = 1; k <= out.StrokeCount; ++k) StrokeStatistics(s, kin, k, out);
  return Status::Ok();
}

}  // namespace velquor
