#include "plot/line_batches.h"

#include <algorithm>

namespace velquor {

std::vector<InterleaveGroup> FindInterleaveGroups(std::span<const Rgb> colours) {
  std::vector<InterleaveGroup> groups;
  const int n = static_cast<int>(colours.size());
  const auto at = [&colours](int i) { return colours[static_cast<std::size_t>(i)]; };
  int i = 0;
  while (i < n) {
    // The cycle: distinct colours from i on, until one repeats.
    int p = 1;
    while (i + p < n && p < kMaxInterleave &&
           std::find(colours.begin() + i, colours.begin() + i + p, at(i + p)) ==
               colours.begin() + i + p) {
      ++p;
    }
    // The group lasts while the colours keep repeating with that period.
    int j = i + p;
    while (j < n && at(j) == at(j - p)) ++j;
    groups.push_back({i, j, p});
    i = j;
  }
  return groups;
}

}  // namespace velquor
