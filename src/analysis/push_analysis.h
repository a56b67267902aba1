// The push-by-push analysis of one measurement: every push of each wheel found in the torque
// with its figures, a summary over the steady pushes and the mean push curve with its spread.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "analysis/push_parameters.h"
#include "analysis/series.h"
#include "common/result.h"
#include "record/record.h"

namespace velquor {

// The figures of a push, in the order they are listed, printed and stored.
enum class PushFigure {
  kOn,
  kOff,
  kPushTime,
  kCycleTime,
  kRecoveryTime,
  kPushFraction,
  kContactAngle,
  kPeakTorque,
  kTimeToPeak,
  kMeanTorque,
  kRateOfRise,
  kSmoothness,
  kPeakPower,
  kMeanPower,
  kPushWork,
  kNegativeWork,
  kMeanSpeed,
};
inline constexpr int kPushFigureCount = 17;
inline constexpr std::array<std::string_view, kPushFigureCount> kPushFigureNames = {
    "on_s",
    "off_s",
    "push_time_s",
    "cycle_time_s",
    "recovery_time_s",
    "push_fraction_pct",
    "contact_angle_deg",
    "peak_torque_Nm",
    "time_to_peak_s",
    "mean_torque_Nm",
    "rate_of_rise_Nm_per_s",
    "smoothness",
    "peak_power_W",
    "mean_power_W",
    "push_work_J",
    "negative_work_J",
    "mean_speed_m_per_s"};

// Every figure but onset and end is summarised over the steady pushes.
inline constexpr bool IsSummarised(PushFigure f) {
  return f != PushFigure::kOn && f != PushFigure::kOff;
}

// An empty figure (the last push has no cycle, a push without rise has no rate) has no value.
using PushFigures = std::array<std::optional<double>, kPushFigureCount>;

// A run of torque above the threshold after merging, and what became of it.
enum class PushRunKind { kPush, kPartial, kRejected };
struct PushRun {
  std::int64_t first = 0;  // sample index
  std::int64_t last = 0;   // sample index
  PushRunKind kind = PushRunKind::kPush;
};

struct Push {
  int number = 0;          // 1..P in time order
  std::int64_t first = 0;  // first sample above the threshold
  std::int64_t last = 0;   // last sample of the push (dips merged in)
  PushFigures figures{};

  std::optional<double> Figure(PushFigure f) const {
    return figures.at(static_cast<std::size_t>(f));
  }
};

struct FigureSummary {
  std::optional<double> mean, sd, cv_pct;
};

struct PushSummary {
  int pushes = 0;    // P
  int partial = 0;   // runs cut by the start or end of the record
  int rejected = 0;  // runs too short or too low to be a push
  int steady = 0;    // pushes in the summary
  std::optional<double> push_frequency_per_min;
  std::array<FigureSummary, kPushFigureCount> figures{};  // empty for onset and end

  const FigureSummary& Figure(PushFigure f) const {
    return figures.at(static_cast<std::size_t>(f));
  }
};

// Torque at 0..100 % of push time, mean over the steady pushes and its SD (two or more).
inline constexpr int kCurvePoints = 101;
struct PushCurve {
  std::array<double, kCurvePoints> mean{};
  std::optional<std::array<double, kCurvePoints>> sd;
};

struct WheelPushes {
  int wheel = 0;              // 0 = left, 1 = right
  std::vector<PushRun> runs;  // every merged run in time order, pushes among them
  std::vector<Push> pushes;
  PushSummary summary;
  std::optional<PushCurve> curve;  // none without a steady push
};

struct PushAnalysis {
  PushParameters parameters;
  double dt = 0;  // s per sample
  std::int64_t samples = 0;
  std::array<WheelPushes, 2> wheels{};
};

// Analyses samples 1..DataNum of the series CalcKinematics made from `rec`. Refused
// parameters or a record that cannot be analysed give the problem and compute nothing.
Result<PushAnalysis> AnalysePushes(const DerivedSeries& s, const MeasurementRecord& rec,
                                   const PushParameters& p);

}  // namespace velquor
