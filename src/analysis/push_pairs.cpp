#include "analysis/push_pairs.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

#include "analysis/push_summary.h"

namespace velquor {
namespace {

double Onset(const Push& p) {
  return p.Figure(PushFigure::kOn).value_or(0);
}

// The unpaired right push nearest in onset to `on` within `reach`, the earlier of two equally
// near; -1 when none is. The right pushes are in time order, so the search starts where `on`
// would stand among them and walks out either way only while it is within reach.
long Nearest(const std::vector<Push>& right, const std::vector<bool>& taken, double on,
             double reach) {
  const auto at = std::lower_bound(right.begin(), right.end(), on, [](const Push& p, double t) {
    return p.Figure(PushFigure::kOn).value_or(0) < t;
  });
  const auto start = static_cast<long>(at - right.begin());
  const long count = static_cast<long>(right.size());
  long best = -1;
  double best_distance = 0;
  const auto consider = [&](long q) {
    if (taken[static_cast<std::size_t>(q)]) return;
    const double distance = std::fabs(Onset(right[static_cast<std::size_t>(q)]) - on);
    // Walking earlier first, an equally near later push never replaces an earlier one.
    if (best < 0 || distance < best_distance || (distance == best_distance && q < best)) {
      best = q;
      best_distance = distance;
    }
  };
  for (long q = start - 1;
       q >= 0 && std::fabs(Onset(right[static_cast<std::size_t>(q)]) - on) < reach; --q) {
    consider(q);
  }
  for (long q = start;
       q < count && std::fabs(Onset(right[static_cast<std::size_t>(q)]) - on) < reach; ++q) {
    consider(q);
  }
  return best;
}

MeanSd MeanAndSd(const std::vector<double>& values) {
  const FigureSummary s = SummariseValues(values);
  return {s.mean, s.sd};
}

}  // namespace

std::optional<double> SymmetryIndex(std::optional<double> left, std::optional<double> right) {
  if (!left || !right) return std::nullopt;
  const double sum = *right + *left;
  if (sum == 0) return std::nullopt;
  return 100 * (*right - *left) / (0.5 * sum);
}

PushPairs PairPushes(const PushAnalysis& a) {
  const std::vector<Push>& left = a.wheels[0].pushes;
  const std::vector<Push>& right = a.wheels[1].pushes;
  PushPairs out;
  std::vector<bool> taken(right.size(), false);
  std::vector<bool> steady;
  for (std::size_t p = 0; p < left.size(); ++p) {
    const Push& l = left[p];
    if (!l.Figure(PushFigure::kOn)) continue;
    const double reach = 0.5 * l.Figure(PushFigure::kCycleTime).value_or(1.0);
    const long q = Nearest(right, taken, Onset(l), reach);
    if (q < 0) continue;
    const Push& r = right.at(static_cast<std::size_t>(q));
    taken.at(static_cast<std::size_t>(q)) = true;
    PushPair pair;
    pair.left = l.number;
    pair.right = r.number;
    pair.lag_ms = 1000 * (Onset(r) - Onset(l));
    for (int f = 0; f < kPushFigureCount; ++f) {
      const auto figure = static_cast<PushFigure>(f);
      if (!IsSummarised(figure)) continue;
      pair.si.at(static_cast<std::size_t>(f)) = SymmetryIndex(l.Figure(figure), r.Figure(figure));
    }
    out.pairs.push_back(pair);
    steady.push_back(IsSteadyPush(left, p, a.parameters));
  }

  std::vector<double> values;
  for (std::size_t k = 0; k < out.pairs.size(); ++k) {
    if (steady[k]) values.push_back(out.pairs[k].lag_ms);
  }
  out.summary.steady = static_cast<int>(values.size());
  out.summary.lag_ms = MeanAndSd(values);
  for (int f = 0; f < kPushFigureCount; ++f) {
    const auto figure = static_cast<PushFigure>(f);
    if (!IsSummarised(figure)) continue;
    values.clear();
    for (std::size_t k = 0; k < out.pairs.size(); ++k) {
      if (!steady[k]) continue;
      if (const auto v = out.pairs[k].Si(figure)) values.push_back(*v);
    }
    out.summary.si.at(static_cast<std::size_t>(f)) = MeanAndSd(values);
  }
  return out;
}

}  // namespace velquor
