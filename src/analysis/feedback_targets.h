// What the feedback screen shows and judges: the chosen variables of a push, the target band
// of each (absolute, or relative to a baseline's steady-push means) and whether a push is in it.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/push_analysis.h"
#include "common/result.h"

namespace velquor {

// A variable is one of the push figures, or the push frequency: 60 / the last cycle time.
inline constexpr int kPushFrequencyVariable = kPushFigureCount;
inline constexpr int kFeedbackVariableCount = kPushFigureCount + 1;
inline constexpr int kMaxFeedbackVariables = 4;
inline constexpr std::string_view kPushFrequencyName = "push_frequency_per_min";

// The variable's name as files and options write it ("contact_angle_deg"); the index of a
// name, or none.
std::string_view FeedbackVariableName(int variable);
std::optional<int> FeedbackVariableByName(std::string_view name);

// One end of a band: open, a value in the variable's unit, or a percentage of the baseline
// (+10 % is the baseline times 1.10).
struct BandEnd {
  enum class Kind { kOpen, kAbsolute, kRelative };
  Kind kind = Kind::kOpen;
  double value = 0;  // the value, or the percentage

  bool operator==(const BandEnd&) const = default;
};

// "" open, "12.5" absolute, "+10%" or "-10 %" relative; anything else is refused.
Result<BandEnd> ParseBandEnd(std::string_view text);
std::string BandEndText(const BandEnd& end);

struct Target {
  int variable = 0;
  BandEnd low, high;
  bool tone = false;  // a short tone when a push falls outside

  bool operator==(const Target&) const = default;
};

// The band in the variable's unit; an open end is no limit.
struct Band {
  std::optional<double> low, high;
};

// The steady-push means of every variable of one wheel, from a trial or a measurement.
using Baseline = std::array<std::optional<double>, kFeedbackVariableCount>;
Baseline BaselineOf(const WheelPushes& wheel);

// The band of `target` for a wheel with `baseline`; a relative end without a baseline value
// is refused with a message naming the variable.
Result<Band> ResolveBand(const Target& target, const Baseline& baseline);

// Whether `value` lies in the band (the ends included); none for an empty value.
std::optional<bool> InBand(const Band& band, std::optional<double> value);

// The variable's value for push `k` (0-based) of `pushes`: a figure of the push, or 60 /
// the cycle time of the push before it for the push frequency.
std::optional<double> VariableValue(const std::vector<Push>& pushes, std::size_t k, int variable);

}  // namespace velquor
