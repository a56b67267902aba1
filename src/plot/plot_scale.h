// The user coordinate system of a plotting area and the pure maths that puts user
// coordinates on pixels: mapping, and clipping a segment to the visible rectangle.
#pragma once

#include <optional>

namespace velquor {

// What a set-scale call defines, kept in single precision as it was given.
struct PlotScale {
  float left = 0.0f;
  float top = 0.0f;
  float width = 1.0f;
  float height = 1.0f;

  // A scale can place points only when both extents are finite and not zero; drawing into
  // an area whose scale is not usable puts nothing on it.
  bool Usable() const;
  bool operator==(const PlotScale&) const = default;
};

struct PixelPoint {
  double x = 0.0;
  double y = 0.0;
};

struct PixelRect {
  double x = 0.0;
  double y = 0.0;
  double w = 0.0;
  double h = 0.0;
};

struct PixelSegment {
  PixelPoint a;
  PixelPoint b;
};

// Maps user coordinates onto a pixel rectangle so that the left and top edges of the
// scale fall on the centres of the first pixel column and row and the right and bottom
// edges on the centres of the last (pixel k covers k to k + 1).
class PixelMap {
 public:
  // The scale must be usable.
  PixelMap(const PlotScale& scale, const PixelRect& area);

  PixelPoint Map(double x, double y) const;
  // Length in pixels of a distance along X, such as a circle radius.
  double XLength(double dx) const;

 private:
  double x0_, y0_, kx_, ky_;
};

// The part of a segment inside the rectangle, or nothing when none of it is (or when an
// end is not a finite number).
std::optional<PixelSegment> ClipSegment(const PixelSegment& s, const PixelRect& r);

}  // namespace velquor
