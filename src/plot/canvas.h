// The drawing operations every plotting area offers, in its own user coordinates: the
// graph routines draw through this interface and never see a widget or an image.
#pragma once

#include "common/colors.h"

namespace velquor {

enum class FillStyle { kSolid, kTransparent };

// Grey of the zero lines and of the calibration axis cross.
inline constexpr Rgb kReferenceGrey = MakeRgb(128, 128, 128);
// Grey of the stroke boundary markers, one step darker so they can be told apart.
inline constexpr Rgb kMarkerGrey = MakeRgb(127, 127, 127);

class Canvas {
 public:
  virtual ~Canvas() = default;

  // The left edge has X = left, the right edge X = left + width, the top edge Y = top and
  // the bottom edge Y = top + height; a negative width or height reverses that axis.
  virtual void SetScale(float left, float top, float width, float height) = 0;
  // Erases everything drawn so far; the scale, pen width and fill settings stay.
  virtual void Clear() = 0;
  // A straight segment in the current pen width.
  virtual void Line(float x1, float y1, float x2, float y2, Rgb colour) = 0;
  // Width in pixels of the following lines and circle outlines.
  virtual void SetPenWidth(int pixels) = 0;
  // Whether following circles are filled with the fill colour.
  virtual void SetFillStyle(FillStyle style) = 0;
  virtual void SetFillColour(Rgb colour) = 0;
  // A circle outline in the colour, filled when the fill style is solid; the radius is in
  // units of X.
  virtual void Circle(float x, float y, float radius, Rgb colour) = 0;
};

}  // namespace velquor
