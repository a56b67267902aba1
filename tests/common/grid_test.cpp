#include <gtest/gtest.h>

#include <stdexcept>

#include "common/grid.h"

namespace velquor {
namespace {

TEST(Grid, EveryIndexIsCheckedAgainstItsBound) {
  Grid<float, 3, kSampleSlots> g;
  Line<float, 5001> l;
  g(2, kMaxSamples) = 1.5f;
  EXPECT_EQ(g(2, kMaxSamples), 1.5f);
  const std::pair<int, int> bad[] = {{3, 0}, {-1, 0}, {0, kSampleSlots}, {0, -1}};
  for (auto [row, i] : bad) EXPECT_THROW(g(row, i), std::out_of_range) << row << "," << i;
  EXPECT_THROW(l(5001), std::out_of_range);
  EXPECT_THROW(l(-1), std::out_of_range);
  // Channels of one sample lie together: a write to (1, i) does not touch (0, i + 1).
  g(1, 10) = 7.0f;
  EXPECT_EQ(g(0, 11), 0.0f);
}

}  // namespace
}  // namespace velquor
