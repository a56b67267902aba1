#include "plot/plot_scale.h"

#include <gtest/gtest.h>

#include <limits>
#include <vector>

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

}  // namespace
}  // namespace velquor
