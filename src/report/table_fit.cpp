#include "report/table_fit.h"

#include <algorithm>
#include <numeric>
#include <string>

#include "report/text_width.h"

namespace velquor {
namespace {

constexpr double kPointStep = 0.25;

// The head in two lines where its longer line is shortest: broken at a blank (dropped) or
// after a "/"; the head as it is when it holds neither.
std::string TwoLines(const std::string& head, double points) {
  std::string best = head;
  double widest = TextWidthMm(head, points, true);
  for (std::size_t i = 0; i < head.size(); ++i) {
    if (head[i] != ' ' && head[i] != '/') continue;
    const std::string first = head.substr(0, head[i] == ' ' ? i : i + 1);
    const std::string second = head.substr(i + 1);
    if (first.empty() || second.empty()) continue;
    const double w = std::max(TextWidthMm(first, points, true), TextWidthMm(second, points, true));
    if (w < widest) {
      widest = w;
      best = first + "\n" + second;
    }
  }
  return best;
}

// The width of the longer of a head's lines.
double HeadWidth(const std::string& head, double points) {
  double w = 0;
  std::size_t from = 0;
  while (from <= head.size()) {
    const std::size_t end = std::min(head.find('\n', from), head.size());
    w = std::max(w, TextWidthMm(head.substr(from, end - from), points, true));
    from = end + 1;
  }
  return w;
}

// The least width of each column at `points`: its widest cell, and its head in two lines.
std::vector<double> Needs(const TextTable& t, double points) {
  std::vector<double> need(t.widths.size(), 0.0);
  for (std::size_t c = 0; c < need.size(); ++c) {
    double w = 0;
    for (const auto& row : t.rows) {
      if (c < row.size()) w = std::max(w, TextWidthMm(row[c], points));
    }
    if (c < t.head.size()) w = std::max(w, HeadWidth(TwoLines(t.head[c], points), points));
    need[c] = w + 2 * kCellPaddingMm;
  }
  return need;
}

double Sum(const std::vector<double>& v) {
  return std::accumulate(v.begin(), v.end(), 0.0);
}

}  // namespace

void FitTable(TextTable& t, double width) {
  if (t.widths.empty()) return;
  double points = t.points;
  std::vector<double> need = Needs(t, points);
  while (Sum(need) > width + 1e-9 && points - kPointStep >= kSmallestPt - 1e-9) {
    points -= kPointStep;
    need = Needs(t, points);
  }
  t.points = points;
  const double total = std::min(std::max(Sum(t.widths), Sum(need)), std::max(width, Sum(need)));
  // Every column at least at its need; what that adds comes out of the others' spare room.
  std::vector<double> w = t.widths;
  double added = 0, spare = 0;
  for (std::size_t c = 0; c < w.size(); ++c) {
    if (w[c] < need[c]) {
      added += need[c] - w[c];
      w[c] = need[c];
    } else {
      spare += w[c] - need[c];
    }
  }
  const double over = Sum(w) - total;
  if (over > 0 && spare > 0) {
    const double share = std::min(over, spare) / spare;
    for (std::size_t c = 0; c < w.size(); ++c) {
      if (w[c] > need[c]) w[c] -= (w[c] - need[c]) * share;
    }
  }
  t.widths = std::move(w);
  t.headLines = 1;
  for (std::size_t c = 0; c < t.head.size() && c < t.widths.size(); ++c) {
    if (TextWidthMm(t.head[c], points, true) + 2 * kCellPaddingMm <= t.widths[c] + 1e-9) continue;
    t.head[c] = TwoLines(t.head[c], points);
    if (t.head[c].find('\n') != std::string::npos) t.headLines = 2;
  }
}

}  // namespace velquor
