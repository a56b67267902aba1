// The settings of the push-by-push analysis: threshold, minimum peak, minimum push time,
// merge gap, the pushes left out of the summary and its time window, with their checks.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

#include "common/result.h"

namespace velquor {

struct PushParameters {
  double threshold = 1.0;   // Nm, a push is torque above this level
  double min_peak = 5.0;    // Nm, a push must reach this torque somewhere
  double min_push = 0.10;   // s, shortest push
  double merge_gap = 0.05;  // s, dips below the threshold this short do not end a push
  int skip_first = 1;       // pushes left out of the summary at the start
  int skip_last = 0;        // pushes left out of the summary at the end
  // The summary window: only pushes whose onset lies within it are summarised; none is open.
  std::optional<double> from_s;  // s, onset at or after
  std::optional<double> to_s;    // s, onset at or before

  bool operator==(const PushParameters&) const = default;
};

// The parameters by name, in the order they are listed, stored and printed.
enum class PushParameter { kThreshold, kMinPeak, kMinPush, kMergeGap, kSkipFirst, kSkipLast };
inline constexpr int kPushParameterCount = 6;
inline constexpr std::array<std::string_view, kPushParameterCount> kPushParameterNames = {
    "threshold", "min_peak", "min_push", "merge_gap", "skip_first", "skip_last"};

// The two ends of the summary window, which are set or left open (and are not kept in the
// settings file with the six numbers above).
enum class SummaryBound { kFrom, kTo };
inline constexpr std::array<std::string_view, 2> kSummaryBoundNames = {"from_s", "to_s"};

// Torques finite, durations finite and 0 or more, counts 0 or more, the window's ends finite
// times of 0 s or more with from_s not after to_s; a refusal names the parameter and says
// what it must be.
Status CheckPushParameters(const PushParameters& p);

// Sets one parameter from its text, a plain decimal number ("0.1", "2", "2.0"); a count must
// be whole. A text that is not such a number, or a value CheckPushParameters would refuse,
// leaves `p` as it was and names the parameter.
Status SetPushParameter(PushParameters& p, PushParameter which, std::string_view text);

// Sets one end of the summary window from a plain decimal number of seconds, or opens it
// when `text` is empty or blank. A refused text leaves `p` as it was and names the end.
Status SetSummaryBound(PushParameters& p, SummaryBound which, std::string_view text);

// The value of one parameter as a double (counts are whole).
double PushParameterValue(const PushParameters& p, PushParameter which);

// A duration as a number of samples at `dt` seconds per sample: max(1, round(p / dt)) with
// halves away from zero; anything beyond 2^53 samples (or not finite) counts as 2^53.
std::int64_t DurationSamples(double seconds, double dt);

}  // namespace velquor
