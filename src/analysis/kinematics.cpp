#include "analysis/kinematics.h"

#include <cmath>

#include "analysis/analysis_condition.h"
#include "analysis/constants.h"

namespace velquor {
namespace {

enum class TurnMode { kCent, kLeft, kRight };

constexpr double kNegligibleLength = 1e-9;  // m

float CalibratedTorque(const Calibration& cal, bool shift, int ch, float volt) {
  double tq = cal.Ka1.at(static_cast<std::size_t>(ch)) * static_cast<double>(volt);
  if (!shift) tq += cal.Ka0.at(static_cast<std::size_t>(ch));
  return static_cast<float>(tq);
}

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

  double turn_radius = 0;
  for (int i = 2; i <= n; ++i) {
    // The left encoder counts backwards, so its step is taken with the opposite sign.
    for (int ch = 0; ch < 2; ++ch) {
      const float delta = AngleStep(rec.Encoder(ch, i - 1), rec.Encoder(ch, i));
      const double before = s.Angle_deg(ch, i - 1);
      s.Angle_deg(ch, i) = static_cast<float>(ch == 0 ? before - delta : before + delta);
      s.Angle_rad(ch, i) = static_cast<float>(static_cast<double>(s.Angle_deg(ch, i)) * kPi / 180);
    }

    std::array<float, 2> step_dist{};
    for (int ch = 0; ch < 2; ++ch) {
      s.Distance(ch, i) = static_cast<float>(wheel_radius * s.Angle_rad(ch, i));
      s.Speed(ch, i) = static_cast<float>(
          (static_cast<double>(s.Distance(ch, i)) - s.Distance(ch, i - 1)) / step_s);
      s.Torque(ch, i) = CalibratedTorque(cal, shift, ch, rec.Volt(ch, i));
      const double mean_torque2 = static_cast<double>(s.Torque(ch, i - 1)) + s.Torque(ch, i);
      const double turned = static_cast<double>(s.Angle_rad(ch, i)) - s.Angle_rad(ch, i - 1);
      s.Power(ch, i) = static_cast<float>((mean_torque2 * turned / 2) / step_s);
      step_dist[static_cast<std::size_t>(ch)] =
          static_cast<float>(static_cast<double>(s.Distance(ch, i)) - s.Distance(ch, i - 1));
    }
    s.Distance(kDistanceAv, i) =
        static_cast<float>((static_cast<double>(s.Distance(1, i)) + s.Distance(0, i)) / 2);
    s.Speed(kSpeedAv, i) =
        static_cast<float>((static_cast<double>(s.Speed(0, i)) + s.Speed(1, i)) / 2);

    const float dL = step_dist[0];
    const float dR = step_dist[1];
    const Turn turn = TurnOfStep(dL, dR, turn_radius);
    turn_radius = turn.radius;
    const double a1 = s.Alpha_rad(i - 1);
    s.dAlpha_rad(i) = turn.dAlpha;
    s.Alpha_rad(i) = turn.mode == TurnMode::kCent ? a1 : a1 + turn.dAlpha;
    const double a2 = s.Alpha_rad(i);

    // The chair's centre, dead-reckoned along the straight step or the arc of the turn.
    const double R = turn_radius;
    const double x0 = s.x(i - 1);
    const double y0 = s.y(i - 1);
    switch (turn.mode) {
      case TurnMode::kCent:
        s.x(i) = x0 + dL * std::cos(a2);
        s.y(i) = static_cast<float>(y0 + dL * std::sin(a2));
        break;
      case TurnMode::kLeft:
        s.x(i) = x0 + R * std::sin(a2) - R * std::sin(a1);
        s.y(i) = static_cast<float>(y0 - R * std::cos(a2) + R * std::cos(a1));
        break;
      case TurnMode::kRight:
        s.x(i) = x0 - R * std::sin(a2) + R * std::sin(a1);
        s.y(i) = static_cast<float>(y0 + R * std::cos(a2) - R * std::cos(a1));
        break;
    }

    s.Beta_deg(i) = static_cast<float>(turn.dAlpha / step_s * 180 / kPi);
    s.Alpha_deg(i) = a2 * 180 / kPi;

    Widen(s.Distance(kDistanceAv, i), kin.DistAvMax, kin.DistAvMin);
    for (int ch = 0; ch < 2; ++ch) {
      const auto c = static_cast<std::size_t>(ch);
      Widen(s.Speed(ch, i), kin.SpeedMax[c], kin.SpeedMin[c]);
      Widen(s.Torque(ch, i), kin.TqMax[c], kin.TqMin[c]);
      Widen(s.Power(ch, i), kin.PowerMax[c], kin.PowerMin[c]);
      torque_sum[c] += s.Torque(ch, i);
    }
    Widen(s.x(i), kin.xMax, kin.xMin);
    Widen(s.y(i), kin.yMax, kin.yMin);
    Widen(s.Alpha_deg(i), kin.AlphaMax, kin.AlphaMin);
    Widen(s.Beta_deg(i), kin.BetaMax, kin.BetaMin);
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
