#include "plot/plot_scale.h"

#include <algorithm>
#include <cmath>

namespace velquor {

bool PlotScale::Usable() const {
  return std::isfinite(left) && std::isfinite(top) && std::isfinite(width) &&
         std::isfinite(height) && width != 0.0f && height != 0.0f;
}

PixelMap::PixelMap(const PlotScale& scale, const PixelRect& area) {
  const double spanX = std::max(area.w - 1.0, 0.0);
  const double spanY = std::max(area.h - 1.0, 0.0);
  kx_ = spanX / static_cast<double>(scale.width);
  ky_ = spanY / static_cast<double>(scale.height);
  x0_ = area.x + 0.5 - static_cast<double>(scale.left) * kx_;
  y0_ = area.y + 0.5 - static_cast<double>(scale.top) * ky_;
}

PixelPoint PixelMap::Map(double x, double y) const {
  return {x0_ + x * kx_, y0_ + y * ky_};
}

double PixelMap::XLength(double dx) const {
  return std::abs(dx * kx_);
}

std::optional<PixelSegment> ClipSegment(const PixelSegment& s, const PixelRect& r) {
  // Liang-Barsky: shrink the parameter range [t0, t1] of a + t (b - a) to the rectangle.
  const double dx = s.b.x - s.a.x;
  const double dy = s.b.y - s.a.y;
  if (!std::isfinite(s.a.x) || !std::isfinite(s.a.y) || !std::isfinite(dx) || !std::isfinite(dy)) {
    return std::nullopt;
  }
  double t0 = 0.0;
  double t1 = 1.0;
  const double p[4] = {-dx, dx, -dy, dy};
  const double q[4] = {s.a.x - r.x, r.x + r.w - s.a.x, s.a.y - r.y, r.y + r.h - s.a.y};
  for (int k = 0; k < 4; ++k) {
    if (p[k] == 0.0) {
      if (q[k] < 0.0) return std::nullopt;  // parallel to this edge and outside it
      continue;
    }
    const double t = q[k] / p[k];
    if (p[k] < 0.0) {
      if (t > t1) return std::nullopt;
      if (t > t0) t0 = t;
    } else {
      if (t < t0) return std::nullopt;
      if (t < t1) t1 = t;
    }
  }
  return PixelSegment{{s.a.x + t0 * dx, s.a.y + t0 * dy}, {s.a.x + t1 * dx, s.a.y + t1 * dy}};
}

}  // namespace velquor
