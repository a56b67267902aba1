// Where a screen opens on the desktop: beside the main window the first time, where the
// operator last put it afterwards, and always wholly inside the desktop's available area.
#pragma once

namespace velquor {

// A window's outer frame in desktop pixels.
struct ScreenRect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;

  int right() const { return left + width; }
  int bottom() const { return top + height; }
  bool operator==(const ScreenRect&) const = default;
};

// `r` moved, and made smaller only where it is larger than the area, to lie wholly inside
// `area`.
ScreenRect KeepInside(ScreenRect r, const ScreenRect& area);

// A screen of `width` x `height` beside the main window: on its right where it fits, else
// on its left, else against the edge of the area on the side with more room. Its top is the
// main window's, moved down `cascade` steps (one per screen opened before it) so screens
// opened one after another do not hide each other; the whole stays inside the area.
ScreenRect PlaceBeside(const ScreenRect& main, int width, int height, const ScreenRect& area,
                       int cascade);

}  // namespace velquor
