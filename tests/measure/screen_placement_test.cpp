#include "measure/screen_placement.h"

#include <gtest/gtest.h>

namespace velquor {
namespace {

TEST(ScreenPlacement, ScreensOpenBesideTheMainWindowAndInsideTheArea) {
  const ScreenRect area{0, 0, 1280, 770};  // a 1280 x 800 desktop less its panel
  struct Case {
    const char* name;
    ScreenRect main;
    int width, height, cascade;
    ScreenRect placed;
  };
  const Case cases[] = {
      {"room on the right", {0, 0, 700, 600}, 400, 300, 0, {700, 0, 400, 300}},
      {"cascaded", {0, 0, 700, 600}, 400, 300, 2, {700, 60, 400, 300}},
      {"room on the left only", {600, 100, 600, 600}, 400, 300, 0, {200, 100, 400, 300}},
      {"no room: the side with more", {60, 0, 1120, 640}, 400, 300, 0, {880, 0, 400, 300}},
      {"kept above the bottom", {0, 600, 700, 100}, 400, 300, 0, {700, 470, 400, 300}},
      {"larger than the area", {0, 0, 700, 600}, 1500, 900, 0, {0, 0, 1280, 770}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(PlaceBeside(c.main, c.width, c.height, area, c.cascade), c.placed) << c.name;
  }
  // A place remembered on a larger desktop comes back inside this one.
  EXPECT_EQ(KeepInside({1500, -20, 400, 300}, area), (ScreenRect{880, 0, 400, 300}));
  EXPECT_EQ(KeepInside({-10, 700, 400, 300}, area), (ScreenRect{0, 470, 400, 300}));
}

}  // namespace
}  // namespace velquor
