#include "analysis/push_summary.h"

#include <cmath>
#include <cstddef>

namespace velquor {
// The steady pushes are those the skips leave whose onset lies within the summary window.
bool IsSteadyPush(const std::vector<Push>& pushes, std::size_t k, const PushParameters& p) {
  const long long count = static_cast<long long>(pushes.size());
  const long long index = static_cast<long long>(k);
  if (index < p.skip_first || index >= count - p.skip_last) return false;
  const std::optional<double> on = pushes.at(k).Figure(PushFigure::kOn);
  if (p.from_s && !(on && *on >= *p.from_s)) return false;
  if (p.to_s && !(on && *on <= *p.to_s)) return false;
  return true;
}

namespace {

// Indices into `pushes` of the steady pushes in push order.
std::vector<std::size_t> Steady(const std::vector<Push>& pushes, const PushParameters& p) {
  std::vector<std::size_t> out;
  for (std::size_t k = 0; k < pushes.size(); ++k) {
    if (IsSteadyPush(pushes, k, p)) out.push_back(k);
  }
  return out;
}

}  // namespace

FigureSummary SummariseValues(const std::vector<double>& v) {
  FigureSummary out;
  if (v.empty()) return out;
  double sum = 0;
  for (double x : v) sum += x;
  const double mean = sum / static_cast<double>(v.size());
  out.mean = mean;
  if (v.size() < 2) return out;
  double squares = 0;
  for (double x : v) {
    const double d = x - mean;
    squares += d * d;
  }
  const double sd = std::sqrt(squares / static_cast<double>(v.size() - 1));
  out.sd = sd;
  if (mean != 0) out.cv_pct = 100 * sd / std::fabs(mean);
  return out;
}

namespace {

// Torque at time tk by linear interpolation between the samples either side (t(i) = i * dt).
// `i` starts the search and is left at the last sample at or before tk (or at sample 1).
double TorqueAt(const PushSeries& s, std::int64_t n, double dt, double tk, std::int64_t& i) {
  if (i < 1) i = 1;
  if (i > n) i = n;
  while (i > 1 && static_cast<double>(i) * dt > tk) --i;
  while (i < n && static_cast<double>(i + 1) * dt <= tk) ++i;
  const double ti = static_cast<double>(i) * dt;
  const double xi = s.Torque(i);
  if (ti == tk || i == n) return xi;
  const double xnext = s.Torque(i + 1);
  return xi + (xnext - xi) * (tk - ti) / dt;
}

}  // namespace

PushSummary SummarisePushes(const std::vector<Push>& pushes, const PushParameters& p) {
  PushSummary out;
  const std::vector<std::size_t> steady = Steady(pushes, p);
  out.steady = static_cast<int>(steady.size());
  std::vector<double> values;
  values.reserve(steady.size());
  for (int f = 0; f < kPushFigureCount; ++f) {
    const auto figure = static_cast<PushFigure>(f);
    if (!IsSummarised(figure)) continue;
    values.clear();
    for (const std::size_t k : steady) {
      if (const auto v = pushes.at(k).Figure(figure)) values.push_back(*v);
    }
    out.figures.at(static_cast<std::size_t>(f)) = SummariseValues(values);
  }
  if (const auto cycle = out.Figure(PushFigure::kCycleTime).mean) {
    out.push_frequency_per_min = 60 / *cycle;
  }
  return out;
}

std::optional<PushCurve> MeanPushCurve(const std::vector<Push>& pushes, const PushParameters& p,
                                       const PushSeries& s, std::int64_t n, double dt) {
  const std::vector<std::size_t> steady = Steady(pushes, p);
  const std::size_t count = steady.size();
  if (count == 0) return std::nullopt;
  // One row of 101 torques per steady push, in push order.
  std::vector<std::array<double, kCurvePoints>> rows(count);
  for (std::size_t j = 0; j < count; ++j) {
    const Push& push = pushes.at(steady.at(j));
    const double on = *push.Figure(PushFigure::kOn);
    const double off = *push.Figure(PushFigure::kOff);
    std::int64_t near = push.first - 1;
    for (int k = 0; k < kCurvePoints; ++k) {
      const double tk = on + (static_cast<double>(k) / 100) * (off - on);
      rows[j].at(static_cast<std::size_t>(k)) = TorqueAt(s, n, dt, tk, near);
    }
  }
  // Sums over the pushes in push order, each point on its own, row after row in memory.
  PushCurve curve;
  for (const auto& row : rows) {
    for (std::size_t k = 0; k < row.size(); ++k) curve.mean[k] += row[k];
  }
  for (double& m : curve.mean) m = m / static_cast<double>(count);
  if (count < 2) return curve;
  std::array<double, kCurvePoints> squares{};
  for (const auto& row : rows) {
    for (std::size_t k = 0; k < row.size(); ++k) {
      const double d = row[k] - curve.mean[k];
      squares[k] += d * d;
    }
  }
  curve.sd.emplace();
  for (std::size_t k = 0; k < squares.size(); ++k) {
    curve.sd->at(k) = std::sqrt(squares[k] / static_cast<double>(count - 1));
  }
  return curve;
}

}  // namespace velquor
