#include "analysis/empty_reasons.h"

#include <cmath>

#include "common/number_text.h"

namespace velquor {
namespace {

std::string Count(int n, const char* one, const char* many) {
  return std::to_string(n) + " " + (n == 1 ? one : many);
}

}  // namespace

std::optional<std::string> NoSteadyPushReason(const PushSummary& s, const PushParameters& p) {
  if (s.steady > 0) return std::nullopt;
  std::string t = "no steady push: the record holds " + Count(s.pushes, "push", "pushes");
  if (s.pushes == 0) return t;
  // Which pushes the summary leaves out: "the first", "the first 2 and the last".
  auto ends = [](int n, const char* which) {
    return std::string("the ") + which + (n == 1 ? "" : " " + std::to_string(n));
  };
  std::string left;
  if (p.skip_first > 0) left = ends(p.skip_first, "first");
  if (p.skip_last > 0) left += (left.empty() ? "" : " and ") + ends(p.skip_last, "last");
  if (!left.empty()) {
    t += ", and " + left + (p.skip_first + p.skip_last == 1 ? " is" : " are") +
         " left out of the summary";
  }
  return t;
}

std::optional<std::string> FewStrokesReason(const MeasurementRecord& rec, const StrokeConditions& c,
                                            const StrokeResults& r) {
  constexpr int kStrokes = 3;
  if (r.StrokeCount >= kStrokes || !(rec.SampInterval > 0) || !std::isfinite(rec.DataNum)) {
    return std::nullopt;
  }
  const double end = std::round(rec.DataNum) * rec.SampInterval / 1000;
  return std::to_string(r.StrokeCount) + " of " + std::to_string(kStrokes) +
         " strokes: the stroke window starts at " + PlainForm(c.StartPosCond) +
         " s and the record ends at " + PlainForm(end) + " s; a stroke begins where the torque " +
         "rises above " + PlainForm(c.LimitCond) + " Nm after a fall below it";
}

}  // namespace velquor
