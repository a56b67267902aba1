#include "analysis/kinematics.h"

#include <cmath>

#include "analysis/analysis_condition.h"
#include "analysis/constants.h"

namespace velquor {

namespace {

enum class TurnMode { kCent, kLeft, kRight };

constexpr double kNegligibleLength = 1e-9;  // m

// Degrees the wheel turned between two counts. A change larger than a wheel can make in one
// sample means the 12-bit count wrapped; a change of exactly 500 is still taken as it is.
float AngleStep(float previous, float current) {
  float d = current - previous;
  if (d < -kLargestCountStep) {
    d += kCountRange;
  } else if (d > kLargestCountStep) {
    d -= kCountRange;
  }
  return static_cast<float>(static_cast<double>(d) * kDegPerTurn / kCountsPerTurn);
}

template <class T>
void Widen(T v, T& max, T& min) {
  if (v > max) max = v;
  if (v < min) min = v;
}

// How the chair turned during one step in which the wheels rolled dL and dR.
struct Turn {
  TurnMode mode;
  double radius;  // centre of turning to the chair's centre; kept from before when straight
  double dAlpha;  // rad, left positive
};

Turn TurnOfStep(float dL, float dR, double previous_radius) {
  const double W = kTrackWidth;
  const double l = dL;
  const double r = dR;
  if (dL == dR) return {TurnMode::kCent, previous_radius, 0.0};
  if (dL != 0 && dR != 0) {
    Turn t{};
    if (dL < dR) {
      t = {TurnMode::kLeft, (W / 2) * (l + r) / (r - l), 0.0};
      t.dAlpha = r / (t.radius + W / 2);
    } else {
      t = {TurnMode::kRight, (W / 2) * (l + r) / (l - r), 0.0};
      t.dAlpha = -l / (t.radius + W / 2);
    }
    // R + W/2 is W * dR / (dR - dL) (or W * dL / (dL - dR)), never 0 in exact arithmetic,
    // and at least half a millimetre for steps of whole encoder counts. A step of one wheel
    // lost in the other's rounding (counts read back from a hand-made file) leaves only
    // rounding noise there, so the equivalent form is taken instead.
    if (std::fabs(t.radius + W / 2) < kNegligibleLength) t.dAlpha = (r - l) / W;
    return t;
  }
  // One wheel stands: the chair pivots about it.
  const double dAlpha = (r - l) / W;
  return {dAlpha > 0 ? TurnMode::kLeft : TurnMode::kRight, W / 2, dAlpha};
}

}  // namespace

Status CalcKinematics(const MeasurementRecord& rec, const Calibration& cal, bool shift,
                      DerivedSeries& s, KinematicsResults& kin) {
  if (Status st = CheckAnalysisCondition(rec); !st) return st;
  const int n = static_cast<int>(rec.DataNum);
  const double step_s = rec.SampInterval / 1000;

  kin = KinematicsResults{};
  kin.WheelRadius = kWheelRadius;
  kin.TrackWidth = kTrackWidth;
  const double wheel_radius = kin.WheelRadius;
  std::array<double, 2> torque_sum{};

  // Sample 1 is the origin. The step quantities have no step before them, so they are 0
  // rather than whatever an earlier measurement left there.
  for (int ch = 0; ch < 2; ++ch) {
    s.Angle_deg(ch, 1) = 0;
    s.Angle_rad(ch, 1) = 0;
    s.Distance(ch, 1) = 0;
    s.Speed(ch, 1) = 0;
    s.Power(ch, 1) = 0;
    s.Torque(ch, 1) = CalibratedTorque(cal, shift, ch, rec.Volt(ch, 1));
  }
  s.Distance(kDistanceAv, 1) = 0;
  s.Speed(kSpeedAv, 1) = 0;
  s.Alpha_rad(1) = 0;
  s.dAlpha_rad(1) = 0;
  s.Alpha_deg(1) = 0;
  s.Beta_deg(1) = 0;
  s.x(1) = 0;
  s.y(1) = 0;

  // What each wheel had at the previous sample, so every series element is read once.
  struct Wheel {
    float count, angle_deg, angle_rad, distance, torque;
  };
  std::array<Wheel, 2> last{};
  for (int ch = 0; ch < 2; ++ch) {
    last[static_cast<std::size_t>(ch)] = {rec.Encoder(ch, 1), 0, 0, 0, s.Torque(ch, 1)};
  }
  double turn_radius = 0;
  double alpha = 0, x = 0;
  float y = 0;
  double sin_alpha = 0, cos_alpha = 1;  // of the heading at the previous sample

  for (int i = 2; i <= n; ++i) {
    std::array<float, 2> step_dist{}, distance{}, speed{};
    for (int ch = 0; ch < 2; ++ch) {
      const auto c = static_cast<std::size_t>(ch);
      Wheel& w = last[c];
      // The left encoder counts backwards, so its step is taken with the opposite sign.
      const float count = rec.Encoder(ch, i);
      const float delta = AngleStep(w.count, count);
      const double before = w.angle_deg;
      const auto deg = static_cast<float>(ch == 0 ? before - delta : before + delta);
      const auto rad = static_cast<float>(static_cast<double>(deg) * kPi5 / 180);
      distance[c] = static_cast<float>(wheel_radius * rad);
      speed[c] = static_cast<float>((static_cast<double>(distance[c]) - w.distance) / step_s);
      const float torque = CalibratedTorque(cal, shift, ch, rec.Volt(ch, i));
      const double torque2 = static_cast<double>(w.torque) + torque;
      const double turned = static_cast<double>(rad) - w.angle_rad;
      const auto power = static_cast<float>((torque2 * turned / 2) / step_s);
      step_dist[c] = static_cast<float>(static_cast<double>(distance[c]) - w.distance);

      s.Angle_deg(ch, i) = deg;
      s.Angle_rad(ch, i) = rad;
      s.Distance(ch, i) = distance[c];
      s.Speed(ch, i) = speed[c];
      s.Torque(ch, i) = torque;
      s.Power(ch, i) = power;
      Widen(speed[c], kin.SpeedMax[c], kin.SpeedMin[c]);
      Widen(torque, kin.TqMax[c], kin.TqMin[c]);
      Widen(power, kin.PowerMax[c], kin.PowerMin[c]);
      torque_sum[c] += torque;
      w = {count, deg, rad, distance[c], torque};
    }
    const auto distance_av =
        static_cast<float>((static_cast<double>(distance[1]) + distance[0]) / 2);
    s.Distance(kDistanceAv, i) = distance_av;
    s.Speed(kSpeedAv, i) = static_cast<float>((static_cast<double>(speed[0]) + speed[1]) / 2);

    const float dL = step_dist[0];
    const float dR = step_dist[1];
    const Turn turn = TurnOfStep(dL, dR, turn_radius);
    turn_radius = turn.radius;
    const double a1 = alpha;
    const double a2 = turn.mode == TurnMode::kCent ? a1 : a1 + turn.dAlpha;
    const double sin_a1 = sin_alpha, cos_a1 = cos_alpha;
    if (a2 != a1) {
      sin_alpha = std::sin(a2);
      cos_alpha = std::cos(a2);
    }
    const double sin_a2 = sin_alpha, cos_a2 = cos_alpha;

    // The chair's centre, dead-reckoned along the straight step or the arc of the turn.
    const double R = turn_radius;
    switch (turn.mode) {
      case TurnMode::kCent:
        x = x + dL * cos_a2;
        y = static_cast<float>(y + dL * sin_a2);
        break;
      case TurnMode::kLeft:
        x = x + R * sin_a2 - R * sin_a1;
        y = static_cast<float>(y - R * cos_a2 + R * cos_a1);
        break;
      case TurnMode::kRight:
        x = x - R * sin_a2 + R * sin_a1;
        y = static_cast<float>(y + R * cos_a2 - R * cos_a1);
        break;
    }
    alpha = a2;
    const auto beta = static_cast<float>(turn.dAlpha / step_s * 180 / kPi5);
    const double alpha_deg = a2 * 180 / kPi5;

    s.dAlpha_rad(i) = turn.dAlpha;
    s.Alpha_rad(i) = a2;
    s.x(i) = x;
    s.y(i) = y;
    s.Beta_deg(i) = beta;
    s.Alpha_deg(i) = alpha_deg;
    Widen(distance_av, kin.DistAvMax, kin.DistAvMin);
    Widen(x, kin.xMax, kin.xMin);
    Widen(y, kin.yMax, kin.yMin);
    Widen(alpha_deg, kin.AlphaMax, kin.AlphaMin);
    Widen(beta, kin.BetaMax, kin.BetaMin);
  }

  for (int ch = 0; ch < 2; ++ch) {
    const auto c = static_cast<std::size_t>(ch);
    kin.SpeedAv[c] = static_cast<float>(
        (static_cast<double>(s.Distance(ch, n)) - s.Distance(ch, 1)) / rec.MeasTime);
    kin.TqAv[c] = static_cast<float>(torque_sum[c] / (static_cast<double>(rec.DataNum) - 1));
  }
  return Status::Ok();
}

}  // namespace velquor
