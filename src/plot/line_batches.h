// Grouping of consecutive line segments so a painter can hand many of them to one call:
// runs of one colour, and runs in which a few colours take turns step after step (the
// two wheels' traces) are each drawn as one batch per colour.
#pragma once

#include <span>
#include <vector>

#include "common/colors.h"

namespace velquor {

// Segments begin..end-1 of a run, whose colours repeat with the given period: the
// segments at begin + k, begin + k + period, ... share one colour.
struct InterleaveGroup {
  int begin = 0;
  int end = 0;
  int period = 1;
  bool operator==(const InterleaveGroup&) const = default;
};

// At most this many colours may take turns within one group.
inline constexpr int kMaxInterleave = 8;

// Splits the colours of a run of segments (all of one pen width) into groups. Drawing a
// group one colour after another, in the order of its first cycle, changes only which of
// the interleaved traces lies on top where they cross; the order between groups, and so
// between a reference line or marker and the traces, is kept.
std::vector<InterleaveGroup> FindInterleaveGroups(std::span<const Rgb> colours);

}  // namespace velquor
