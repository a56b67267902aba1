#include "analysis/feedback_targets.h"

#include <cmath>
#include <cstddef>

#include "common/number_parse.h"
#include "common/shortest_text.h"

namespace velquor {
namespace {

std::string_view Trim(std::string_view t) {
  while (!t.empty() && (t.front() == ' ' || t.front() == '\t')) t.remove_prefix(1);
  while (!t.empty() && (t.back() == ' ' || t.back() == '\t')) t.remove_suffix(1);
  return t;
}

}  // namespace

std::string_view FeedbackVariableName(int variable) {
  if (variable == kPushFrequencyVariable) return kPushFrequencyName;
  if (variable < 0 || variable >= kPushFigureCount) return {};
  return kPushFigureNames.at(static_cast<std::size_t>(variable));
}

std::optional<int> FeedbackVariableByName(std::string_view name) {
  for (int v = 0; v < kFeedbackVariableCount; ++v) {
    if (FeedbackVariableName(v) == name) return v;
  }
  return std::nullopt;
}

Result<BandEnd> ParseBandEnd(std::string_view text) {
  std::string_view t = Trim(text);
  if (t.empty()) return BandEnd{};
  BandEnd end;
  if (t.back() == '%') {
    t = Trim(t.substr(0, t.size() - 1));
    if (t.empty() || (t.front() != '+' && t.front() != '-')) {
      return Problem{"", 0, 0,
                     "a band relative to the baseline is written with its sign, as \"+10%\" or "
                     "\"-10%\"; \"" +
                         std::string(text) + "\" is not"};
    }
    end.kind = BandEnd::Kind::kRelative;
  } else {
    end.kind = BandEnd::Kind::kAbsolute;
  }
  const std::string_view number = (t.front() == '+') ? t.substr(1) : t;
  const std::optional<double> v = ParseComplete(number);
  if (!v || !std::isfinite(*v)) {
    return Problem{
        "", 0, 0,
        "\"" + std::string(text) + "\" is not a number, nor a percentage such as \"+10%\""};
  }
  end.value = *v;
  return end;
}

std::string BandEndText(const BandEnd& end) {
  switch (end.kind) {
    case BandEnd::Kind::kOpen:
      return {};
    case BandEnd::Kind::kAbsolute:
      return ShortestText(end.value);
    case BandEnd::Kind::kRelative:
      return (end.value >= 0 ? "+" : "") + ShortestText(end.value) + "%";
  }
  return {};
}

Baseline BaselineOf(const WheelPushes& wheel) {
  Baseline b{};
  for (int f = 0; f < kPushFigureCount; ++f) {
    if (IsSummarised(static_cast<PushFigure>(f))) {
      b.at(static_cast<std::size_t>(f)) = wheel.summary.Figure(static_cast<PushFigure>(f)).mean;
    }
  }
  b.at(kPushFrequencyVariable) = wheel.summary.push_frequency_per_min;
  return b;
}

Result<Band> ResolveBand(const Target& target, const Baseline& baseline) {
  if (target.variable < 0 || target.variable >= kFeedbackVariableCount) {
    return Problem{"", 0, 0, "no such feedback variable: " + std::to_string(target.variable)};
  }
  const std::optional<double> base = baseline.at(static_cast<std::size_t>(target.variable));
  std::array<std::optional<double>, 2> ends;
  const std::array<const BandEnd*, 2> given = {&target.low, &target.high};
  for (std::size_t k = 0; k < ends.size(); ++k) {
    const BandEnd& end = *given[k];
    if (end.kind == BandEnd::Kind::kAbsolute) ends[k] = end.value;
    if (end.kind != BandEnd::Kind::kRelative) continue;
    if (!base) {
      return Problem{"", 0, 0,
                     std::string(FeedbackVariableName(target.variable)) +
                         ": the band is set relative to a baseline, and the baseline has no value "
                         "for it; set the baseline first"};
    }
    ends[k] = *base * (1 + end.value / 100);
  }
  return Band{ends[0], ends[1]};
}

std::optional<bool> InBand(const Band& band, std::optional<double> value) {
  if (!value || !std::isfinite(*value)) return std::nullopt;
  if (band.low && *value < *band.low) return false;
  if (band.high && *value > *band.high) return false;
  return true;
}

std::optional<double> VariableValue(const std::vector<Push>& pushes, std::size_t k, int variable) {
  if (k >= pushes.size()) return std::nullopt;
  if (variable == kPushFrequencyVariable) {
    if (k == 0) return std::nullopt;
    const std::optional<double> cycle = pushes[k - 1].Figure(PushFigure::kCycleTime);
    if (!cycle || *cycle <= 0) return std::nullopt;
    return 60 / *cycle;
  }
  if (variable < 0 || variable >= kPushFigureCount) return std::nullopt;
  return pushes[k].Figure(static_cast<PushFigure>(variable));
}

}  // namespace velquor
