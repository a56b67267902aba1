#include "measure/screen_placement.h"

#include <gtest/gtest.h>

#include "measure/main_window_layout.h"

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

// A screen that fits on neither side of the main window goes over it, but never over the
// lamps and the Start/Stop column: over the graphs when nothing else is free.
TEST(ScreenPlacement, NewScreensKeepTheLampsAndButtonsClear) {
  const ScreenRect wide{0, 0, 1920, 1050}, small{0, 0, 1024, 740};
  struct Case {
    const char* name;
    ScreenRect area, main, column;
    ScreenRect placed;  // of the size asked for
  };
  const Case cases[] = {
      // 1920 x 1080 with the main window in the middle: no side holds a 560 px screen.
      {"over the graphs", wide, {400, 100, 1112, 700}, {1352, 130, 152, 600}, {792, 100, 560, 400}},
      // The main window against the left edge at 1024 x 768: the column is on its right.
      {"left of the column at 1024", small, small, {864, 30, 152, 600}, {384, 0, 480, 420}},
      {"right of the column", wide, {0, 0, 1500, 700}, {1100, 30, 152, 600}, {1252, 0, 500, 300}},
  };
  for (const Case& c : cases) {
    const ScreenRect r = PlaceBeside(c.main, c.placed.width, c.placed.height, c.area, 0, c.column);
    EXPECT_EQ(r, c.placed) << c.name;
    EXPECT_FALSE(r.Overlaps(c.column)) << c.name;
    EXPECT_GE(r.top, c.area.top) << c.name << ": the title bar stays on the desktop";
  }
}

// A screen put somewhere, kept at exit and brought back at the next start, comes back at
// the same place with the same size, session after session, on two desktop sizes. The
// frame's corner is kept and restored; the inside's size is kept and restored.
TEST(ScreenPlacement, APlaceKeptComesBackTheSame) {
  const FrameMargins frame{1, 20, 1, 1};  // a title bar and thin borders
  const ScreenRect areas[] = {{0, 0, 1024, 740}, {0, 0, 1920, 1050}};
  for (const ScreenRect& area : areas) {
    const ScreenRect placed[] = {{300, 200, 362, 293},
                                 {0, 0, 500, 400},
                                 {area.right() - 400, area.bottom() - 300, 400, 300}};
    for (ScreenRect r : placed) {
      for (int session = 0; session < 5; ++session) {
        const ScreenPlace kept = KeptPlace("Form2", r, frame);
        const ScreenRect back = RestoredFrame(kept, frame, 100, 100, area);
        ASSERT_EQ(back, r) << "desktop " << area.width << ", session " << session;
        r = back;
      }
    }
    // One left partly off the desktop comes back whole, its title bar on the desktop.
    const ScreenRect back =
        RestoredFrame(KeptPlace("Form2", {-50, -30, 400, 300}, frame), frame, 0, 0, area);
    EXPECT_EQ(back, (ScreenRect{0, 0, 400, 300}));
  }
}

// The main window's client area: at design size and larger the parts keep their one
// design; smaller, the column stays whole and the graphs give way down to their floor.
TEST(MainWindowLayout, TheColumnStaysWholeAndTheGraphsGiveWay) {
  const int notice = 34;
  const ScreenRect least = MainWindowMinimum(notice);
  // The window's inside on a 1024 x 768 desktop: its menu bar, title bar and panel take
  // about 70 px of the height, its borders a few of the width.
  EXPECT_LE(least.width, 1010);
  EXPECT_LE(least.height, 700 - 70);
  struct Case {
    int width, height;
    double graphScale, columnScale;
  };
  const Case cases[] = {
      {1112, 626, 1.0, 1.0},
      {1668, 939, 1.5, 1.5},
      {1000, 626, 0.84, 1.0},
      {least.width, least.height, kGraphFloorScale, 1.0},
      {600, 400, kGraphFloorScale, 1.0},  // below the minimum: nothing shrinks further
  };
  for (const Case& c : cases) {
    const MainWindowLayout l = LayOutMainWindow(c.width, c.height, notice);
    EXPECT_NEAR(l.graphScale, c.graphScale, 0.01) << c.width;
    EXPECT_DOUBLE_EQ(l.columnScale, c.columnScale) << c.width;
    EXPECT_EQ(l.column.left, l.graphs.right()) << c.width;
    EXPECT_GE(l.noticeLine.top, l.column.bottom()) << c.width;
    EXPECT_GE(l.noticesButton.left, l.noticeLine.right()) << c.width;
    if (c.width >= least.width) {
      EXPECT_LE(l.column.right(), c.width) << c.width << ": the column is wholly in view";
      EXPECT_LE(l.noticesButton.bottom(), c.height) << c.width;
    }
  }
}

}  // namespace
}  // namespace velquor
