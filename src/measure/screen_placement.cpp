#include "measure/screen_placement.h"

#include <algorithm>

namespace velquor {
namespace {

constexpr int kCascadeStep = 30;  // pixels down per screen already opened
constexpr int kCascadeSteps = 8;  // then back to the top

}  // namespace

ScreenRect KeepInside(ScreenRect r, const ScreenRect& area) {
  r.width = std::min(r.width, area.width);
  r.height = std::min(r.height, area.height);
  r.left = std::clamp(r.left, area.left, area.right() - r.width);
  r.top = std::clamp(r.top, area.top, area.bottom() - r.height);
  return r;
}

ScreenRect PlaceBeside(const ScreenRect& main, int width, int height, const ScreenRect& area,
                       int cascade) {
  ScreenRect r{0, main.top + kCascadeStep * (std::max(cascade, 0) % kCascadeSteps), width, height};
  const int roomRight = area.right() - main.right();
  const int roomLeft = main.left - area.left;
  if (width <= roomRight) {
    r.left = main.right();
  } else if (width <= roomLeft) {
    r.left = main.left - width;
  } else {
    r.left = roomRight >= roomLeft ? area.right() - width : area.left;
  }
  return KeepInside(r, area);
}

}  // namespace velquor
