// Left and right together: each left push paired with the right push whose onset is nearest,
// the onset lag and the symmetry index of every figure, and their summary over steady pairs.
#pragma once

#include <array>
#include <optional>
#include <vector>

#include "analysis/push_analysis.h"

namespace velquor {

// 100 * (R - L) / (0.5 * (R + L)); empty when either value is empty or R + L is 0.
std::optional<double> SymmetryIndex(std::optional<double> left, std::optional<double> right);

struct PushPair {
  int left = 0;  // push numbers, 1..P of each wheel
  int right = 0;
  double lag_ms = 0;                                         // 1000 * (right onset - left onset)
  std::array<std::optional<double>, kPushFigureCount> si{};  // empty for onset and end

  std::optional<double> Si(PushFigure f) const { return si.at(static_cast<std::size_t>(f)); }
};

struct MeanSd {
  std::optional<double> mean, sd;
};

struct PairsSummary {
  int steady = 0;  // pairs whose left push is steady
  MeanSd lag_ms;
  std::array<MeanSd, kPushFigureCount> si{};  // empty for onset and end

  const MeanSd& Si(PushFigure f) const { return si.at(static_cast<std::size_t>(f)); }
};

struct PushPairs {
  std::vector<PushPair> pairs;  // in the left pushes' order
  PairsSummary summary;
};

// Walks the left pushes in order; each takes the unpaired right push nearest in onset (the
// earlier of two equally near) when closer than half its cycle time, or 0.5 s without one.
PushPairs PairPushes(const PushAnalysis& a);

}  // namespace velquor
