#include "plot/plot_scale.h"

#include <gtest/gtest.h>

#include <limits>
#include <vector>

#include "plot/line_batches.h"

namespace velquor {
namespace {

TEST(PlotScale, SegmentsAreClippedToTheArea) {
  struct Case {
    const char* name;
    PixelSegment in;
    bool visible;
    PixelSegment out;
  };
  const PixelRect r{0, 0, 100, 50};
  const double inf = std::numeric_limits<double>::infinity();
  const Case cases[] = {
      {"leaves through the bottom", {{50, 25}, {50, 1e30}}, true, {{50, 25}, {50, 50}}},
      {"diagonal through a corner region", {{-10, -10}, {10, 10}}, true, {{0, 0}, {10, 10}}},
      {"parallel outside", {{-5, 10}, {-5, 40}}, false, {}},
      {"passes by a corner", {{90, -20}, {120, 10}}, false, {}},
      {"not a number", {{10, 10}, {inf, 10}}, false, {}},
  };
  for (const auto& c : cases) {
    const auto got = ClipSegment(c.in, r);
    ASSERT_EQ(got.has_value(), c.visible) << c.name;
    if (!got) continue;
    EXPECT_NEAR(got->a.x, c.out.a.x, 1e-9) << c.name;
    EXPECT_NEAR(got->a.y, c.out.a.y, 1e-9) << c.name;
    EXPECT_NEAR(got->b.x, c.out.b.x, 1e-9) << c.name;
    EXPECT_NEAR(got->b.y, c.out.b.y, 1e-9) << c.name;
  }
}

TEST(LineBatches, InterleavedTracesFormOneGroupPerRun) {
  constexpr Rgb G = 1, M = 2, A = 3, B = 4, C = 5;
  struct Case {
    const char* name;
    std::vector<Rgb> colours;
    std::vector<InterleaveGroup> groups;
  };
  const Case cases[] = {
      {"zero line, markers, then two traces",
       {G, M, M, M, M, A, B, A, B, A},
       {{0, 2, 2}, {2, 5, 1}, {5, 10, 2}}},
      {"traces coloured like the zero line keep their place",
       {G, M, M, M, M, G, B, G, B},
       {{0, 2, 2}, {2, 5, 1}, {5, 9, 2}}},
      {"pattern breaks", {A, B, A, A, C}, {{0, 3, 2}, {3, 5, 2}}},
  };
  for (const auto& c : cases) EXPECT_EQ(FindInterleaveGroups(c.colours), c.groups) << c.name;
}

}  // namespace
}  // namespace velquor
