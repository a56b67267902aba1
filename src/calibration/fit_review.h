// The checks a new fit passes before it may replace the calibration in force without a
// question: each channel's voltage span, how well its line fits the points (R²), and how far
// its slope lies from the slope in force; and the texts that show the calibration in force.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "calibration/fit.h"
#include "record/calibration.h"

namespace velquor {

inline constexpr double kMinVoltSpan = 0.1;     // V between the lowest and highest point
inline constexpr double kMinRSquared = 0.99;    // of the line through the points
inline constexpr double kMaxSlopeChange = 0.2;  // relative to the slope in force

struct ChannelQuality {
  double span = 0;                    // V, highest minus lowest voltage of the points
  std::optional<double> rSquared;     // none when every torque is the same
  std::optional<double> slopeChange;  // (new - old) / |old|; none without a slope in force
};

struct FitReview {
  std::array<ChannelQuality, 2> channel{};
  // One line for each check a channel fails, with its numbers; none when the fit may
  // replace the calibration in force without asking.
  std::vector<std::string> doubts;
  bool Doubtful() const { return !doubts.empty(); }
};

// Checks both channels of `fit` against the thresholds above and against `in_force`; the
// slope is compared only with a loaded calibration whose slope is not 0.
FitReview ReviewFit(const CalibrationFit& fit, const Calibration& in_force);

// "R² 0.99987, span 2.400 V" (or "R² none (every torque the same), span 2.400 V").
std::string QualityText(const ChannelQuality& q);

// The question asked before a doubtful fit replaces the calibration in force: what is
// doubtful, the new and the old coefficients, and what No keeps.
std::string ReplaceQuestion(const FitReview& review, const CalibrationFit& fit,
                            const Calibration& in_force);

// "ch0 Tq = 20 x V + 0.5 Nm, ch1 Tq = 19.8 x V - 0.25 Nm": coefficients as the shortest
// texts that read back to the same singles.
std::string CoefficientsText(const Calibration& cal);

// The calibration in force with its file and date: "ch0 Tq = ... Nm; from
// /home/rig/Velquor.clb of 2026-12-07 10:42", or that none is loaded.
std::string InForceText(const Calibration& cal);

}  // namespace velquor
