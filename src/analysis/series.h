// The derived series the analysis computes from the record, the whole-record results, the
// stroke conditions and the per-stroke results, with the precisions they are stored in.
#pragma once

#include <array>
#include <cstdint>

#include "common/grid.h"

namespace velquor {

inline constexpr int kBetaSlots = 5001;  // Beta_deg runs 0..5000

struct DerivedSeries {
  Grid<float, 2, kSampleSlots> Torque;     // Nm
  Grid<float, 2, kSampleSlots> Angle_deg;  // deg, forward positive on both wheels
  Grid<float, 2, kSampleSlots> Angle_rad;  // rad
  Grid<float, 3, kSampleSlots> Distance;   // m, row 2 is Distance_av
  Grid<float, 3, kSampleSlots> Speed;      // m/s, row 2 is Speed_av
  Grid<float, 2, kSampleSlots> Power;      // W
  Line<double, kSampleSlots> Alpha_rad;    // rad, left turn positive
  Line<double, kSampleSlots> dAlpha_rad;   // rad
  Line<double, kSampleSlots> Alpha_deg;    // deg
  Line<float, kBetaSlots> Beta_deg;        // deg/s
  Line<double, kSampleSlots> x;            // m, along the initial heading
  Line<float, kSampleSlots> y;             // m, to the left positive
};

inline constexpr int kDistanceAv = 2;  // row of Distance holding Distance_av
inline constexpr int kSpeedAv = 2;     // row of Speed holding Speed_av

// Whole-record results of the kinematics; every max/min starts at 0.
struct KinematicsResults {
  std::array<float, 2> TqMax{}, TqMin{}, TqAv{};
  std::array<float, 2> SpeedMax{}, SpeedMin{}, SpeedAv{};
  std::array<float, 2> PowerMax{}, PowerMin{};
  float DistAvMax = 0, DistAvMin = 0;
  double xMax = 0, xMin = 0;
  float yMax = 0, yMin = 0;
  double AlphaMax = 0, AlphaMin = 0;
  float BetaMax = 0, BetaMin = 0;
  float WheelRadius = 0.31f;  // m, set at every computation
  double TrackWidth = 0.505;  // m, set at every computation
};

enum class JudgeChannel { kCh0, kCh1, kAuto };

// The stroke detector's conditions, as read from the Calculated Results screen.
struct StrokeConditions {
  double StartPosCond = 1.0;  // s
  float LimitCond = 2.0f;     // Nm
  JudgeChannel channel = JudgeChannel::kAuto;
};

// Per-stroke results, index k = 1..3 (element 0 unused); [k][ch] for per-channel values.
struct StrokeResults {
  int StrokeCount = 0;
  std::array<std::int16_t, 5> StrokeIdx{};  // onsets 1..4
  std::array<float, 5> StrokeTime{};        // s, onsets 1..4
  using PerStroke = std::array<float, 4>;
  using PerStrokeCh = std::array<std::array<float, 2>, 4>;
  PerStroke StTime{}, StDis{}, StAngle{};
  PerStroke StSpeedMax{}, StSpeedMin{}, StSpeedAv{}, StdSpeed{};
  PerStrokeCh StTqMax{}, StTqMin{}, StTqAv{}, StdTq{};
  PerStrokeCh StPowerMax{}, StPowerMin{}, StPowerAv{}, StdPower{};
  std::array<double, 4> StAlphaMax{};
  PerStroke StAlphaMin{};
  std::array<double, 4> StAlphaDef{};
  PerStroke StBetaMax{}, StBetaMin{}, StBetaDef{};
  PerStroke StYMax{}, StYMin{}, StYDef{};
};

}  // namespace velquor
