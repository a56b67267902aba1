// Where a screen opens on the desktop: beside the main window the first time, clear of its
// lamps and Start/Stop column, where the operator last put it afterwards, and always with
// its whole frame, title bar first, inside the desktop's available area.
#pragma once

#include <string>

#include "files/screen_places.h"

namespace velquor {

// A window's outer frame in desktop pixels.
struct ScreenRect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;

  int right() const { return left + width; }
  int bottom() const { return top + height; }
  bool Overlaps(const ScreenRect& o) const {
    return left < o.right() && o.left < right() && top < o.bottom() && o.top < bottom();
  }
  bool operator==(const ScreenRect&) const = default;
};

// How much a window manager's frame adds on each side of a window's inside.
struct FrameMargins {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;

  int width() const { return left + right; }
  int height() const { return top + bottom; }
};

// `r` moved, and made smaller only where it is larger than the area, to lie wholly inside
// `area`.
ScreenRect KeepInside(ScreenRect r, const ScreenRect& area);

// A screen of `width` x `height` (its frame) beside the main window: on its right where it
// fits, else on its left. Where it fits on neither side it goes over the main window but
// clear of `keep_clear` (the lamps and the Start/Stop and button column), over the graphs
// if it must. Its top is the main window's, moved down `cascade` steps (one per screen
// opened before it) so screens opened one after another do not hide each other; the whole
// stays inside the area.
ScreenRect PlaceBeside(const ScreenRect& main, int width, int height, const ScreenRect& area,
                       int cascade, const ScreenRect& keep_clear = {});

// The frame a remembered screen comes back in: its frame's corner where it was kept, around
// its inside's kept size (at least `min_width` x `min_height`), moved inside the area.
ScreenRect RestoredFrame(const ScreenPlace& kept, const FrameMargins& frame, int min_width,
                         int min_height, const ScreenRect& area);

// What is kept of a screen whose frame lies at `frame` on the desktop: the frame's corner
// and the inside's size, the same way RestoredFrame reads it back.
ScreenPlace KeptPlace(const std::string& name, const ScreenRect& frame,
                      const FrameMargins& margins);

}  // namespace velquor
