#include "measure/screen_placement.h"

#include <algorithm>

namespace velquor {
namespace {

constexpr int kCascadeStep = 30;  // pixels down per screen already opened
constexpr int kCascadeSteps = 8;  // then back to the top

int OverlapArea(const ScreenRect& a, const ScreenRect& b) {
  if (!a.Overlaps(b)) return 0;
  const int w = std::min(a.right(), b.right()) - std::max(a.left, b.left);
  const int h = std::min(a.bottom(), b.bottom()) - std::max(a.top, b.top);
  return w * h;
}

}  // namespace

ScreenRect KeepInside(ScreenRect r, const ScreenRect& area) {
  r.width = std::min(r.width, area.width);
  r.height = std::min(r.height, area.height);
  r.left = std::clamp(r.left, area.left, area.right() - r.width);
  r.top = std::clamp(r.top, area.top, area.bottom() - r.height);
  return r;
}

ScreenRect PlaceBeside(const ScreenRect& main, int width, int height, const ScreenRect& area,
                       int cascade, const ScreenRect& keep_clear) {
  const int top = main.top + kCascadeStep * (std::max(cascade, 0) % kCascadeSteps);
  auto at = [&](int left) { return KeepInside({left, top, width, height}, area); };
  if (width <= area.right() - main.right()) return at(main.right());
  if (width <= main.left - area.left) return at(main.left - width);
  // Over the main window: right of the kept-clear column where it fits, else ending at its
  // left edge (over the graphs), else wherever it covers the least of it.
  if (keep_clear.width <= 0 || keep_clear.height <= 0) {
    const int roomRight = area.right() - main.right();
    const int roomLeft = main.left - area.left;
    return at(roomRight >= roomLeft ? area.right() - width : area.left);
  }
  const ScreenRect candidates[] = {at(keep_clear.right()), at(keep_clear.left - width),
                                   at(area.left), at(area.right() - width)};
  const ScreenRect* best = &candidates[0];
  for (const ScreenRect& c : candidates) {
    if (OverlapArea(c, keep_clear) < OverlapArea(*best, keep_clear)) best = &c;
  }
  return *best;
}

ScreenRect RestoredFrame(const ScreenPlace& kept, const FrameMargins& frame, int min_width,
                         int min_height, const ScreenRect& area) {
  const ScreenRect r{kept.left, kept.top, std::max(kept.width, min_width) + frame.width(),
                     std::max(kept.height, min_height) + frame.height()};
  return KeepInside(r, area);
}

ScreenPlace KeptPlace(const std::string& name, const ScreenRect& frame,
                      const FrameMargins& margins) {
  return {name, frame.left, frame.top, frame.width - margins.width(),
          frame.height - margins.height()};
}

}  // namespace velquor
