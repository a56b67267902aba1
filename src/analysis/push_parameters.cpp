#include "analysis/push_parameters.h"

#include <cmath>
#include <limits>
#include <string>

#include "common/number_parse.h"
#include "common/number_text.h"

namespace velquor {
namespace {

std::string Name(PushParameter which) {
  return std::string(kPushParameterNames.at(static_cast<std::size_t>(which)));
}

Status Refuse(PushParameter which, const std::string& value, const char* rule) {
  return Problem{"", 0, 0, Name(which) + " " + value + " cannot be used: " + rule};
}

bool IsCount(PushParameter which) {
  return which == PushParameter::kSkipFirst || which == PushParameter::kSkipLast;
}

bool IsDuration(PushParameter which) {
  return which == PushParameter::kMinPush || which == PushParameter::kMergeGap;
}

Status CheckValue(PushParameter which, double v, const std::string& shown) {
  if (!std::isfinite(v)) return Refuse(which, shown, "it must be a finite number");
  if (IsDuration(which) && v < 0) return Refuse(which, shown, "it must be 0 s or more");
  if (IsCount(which) && (v < 0 || v != std::floor(v) || v > std::numeric_limits<int>::max())) {
    return Refuse(which, shown, "it must be a whole number of 0 or more");
  }
  return Status::Ok();
}

std::string BoundName(SummaryBound which) {
  return std::string(kSummaryBoundNames.at(static_cast<std::size_t>(which)));
}

std::optional<double>& Bound(PushParameters& p, SummaryBound which) {
  return which == SummaryBound::kFrom ? p.from_s : p.to_s;
}

// One end alone: a finite time of 0 s or more.
Status CheckBound(SummaryBound which, double v, const std::string& shown) {
  if (!std::isfinite(v)) {
    return Problem{"", 0, 0,
                   BoundName(which) + " " + shown + " cannot be used: it must be a finite number"};
  }
  if (v < 0) {
    return Problem{"", 0, 0,
                   BoundName(which) + " " + shown + " cannot be used: it must be 0 s or more"};
  }
  return Status::Ok();
}

Status CheckWindow(const PushParameters& p) {
  if (p.from_s) {
    if (Status st = CheckBound(SummaryBound::kFrom, *p.from_s, PlainForm(*p.from_s)); !st)
      return st;
  }
  if (p.to_s) {
    if (Status st = CheckBound(SummaryBound::kTo, *p.to_s, PlainForm(*p.to_s)); !st) return st;
  }
  if (p.from_s && p.to_s && *p.from_s > *p.to_s) {
    return Problem{"", 0, 0,
                   "to_s " + PlainForm(*p.to_s) + " cannot be used: it must not be before from_s " +
                       PlainForm(*p.from_s)};
  }
  return Status::Ok();
}

}  // namespace

double PushParameterValue(const PushParameters& p, PushParameter which) {
  switch (which) {
    case PushParameter::kThreshold:
      return p.threshold;
    case PushParameter::kMinPeak:
      return p.min_peak;
    case PushParameter::kMinPush:
      return p.min_push;
    case PushParameter::kMergeGap:
      return p.merge_gap;
    case PushParameter::kSkipFirst:
      return p.skip_first;
    case PushParameter::kSkipLast:
      return p.skip_last;
  }
  return 0;
}

Status CheckPushParameters(const PushParameters& p) {
  for (int k = 0; k < kPushParameterCount; ++k) {
    const auto which = static_cast<PushParameter>(k);
    const double v = PushParameterValue(p, which);
    if (Status st = CheckValue(which, v, PlainForm(v)); !st) return st;
  }
  return CheckWindow(p);
}

Status SetSummaryBound(PushParameters& p, SummaryBound which, std::string_view text) {
  PushParameters changed = p;
  if (text.find_first_not_of(" \t") == std::string_view::npos) {
    Bound(changed, which).reset();
  } else {
    const std::optional<double> v = ParseComplete(text);
    const std::string shown = "\"" + std::string(text) + "\"";
    if (!v) {
      return Problem{"", 0, 0,
                     BoundName(which) + " " + shown + " cannot be used: it must be a number"};
    }
    if (Status st = CheckBound(which, *v, shown); !st) return st;
    Bound(changed, which) = *v;
  }
  if (Status st = CheckWindow(changed); !st) return st;
  p = changed;
  return Status::Ok();
}

Status SetPushParameter(PushParameters& p, PushParameter which, std::string_view text) {
  const std::optional<double> v = ParseComplete(text);
  const std::string shown = "\"" + std::string(text) + "\"";
  if (!v) return Refuse(which, shown, "it must be a number");
  if (Status st = CheckValue(which, *v, shown); !st) return st;
  switch (which) {
    case PushParameter::kThreshold:
      p.threshold = *v;
      break;
    case PushParameter::kMinPeak:
      p.min_peak = *v;
      break;
    case PushParameter::kMinPush:
      p.min_push = *v;
      break;
    case PushParameter::kMergeGap:
      p.merge_gap = *v;
      break;
    case PushParameter::kSkipFirst:
      p.skip_first = static_cast<int>(*v);
      break;
    case PushParameter::kSkipLast:
      p.skip_last = static_cast<int>(*v);
      break;
  }
  return Status::Ok();
}

std::int64_t DurationSamples(double seconds, double dt) {
  constexpr auto kLongest = std::int64_t{1} << 53;  // beyond any record: every double is whole
  const double n = std::round(seconds / dt);
  if (!(n < static_cast<double>(kLongest))) return kLongest;  // also a quotient not finite
  return n < 1 ? 1 : static_cast<std::int64_t>(n);
}

}  // namespace velquor
