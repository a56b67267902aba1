#include "plot/frame_geometry.h"

#include <algorithm>

namespace velquor {
namespace {

// Design sizes of the boxes, in twips.
constexpr int kBoxHeight = 255;
constexpr int kEndBoxWidth = 480;  // wide enough for "-0.2", narrow enough to stay inside
constexpr int kSideBoxWidth = 600;
constexpr int kGap = 30;
constexpr double kFontPixels = 11.0;
// The legend: two rows (square, caption) in the corner below the Y axis and left of Xmin.
constexpr int kShapeSize = 135;
constexpr int kLabelWidth = 330;
constexpr int kLabelHeight = 195;
constexpr int kLegendRowStep = kLabelHeight + 15;

}  // namespace

PixelRect ToPixels(const TwipRect& r, double sx, double sy) {
  constexpr double k = kTwipsPerPixel;
  return {r.left / k * sx, r.top / k * sy, r.width / k * sx, r.height / k * sy};
}

FrameLayout LayoutFrame(const FrameGeometry& g, double sx, double sy) {
  const TwipRect& f = g.fig;
  const int figRight = f.left + f.width;
  const int figBottom = f.top + f.height;
  const int belowTop = figBottom + kGap;
  // The Y title runs upwards in a strip along the frame's left edge; the Y ends stand
  // between it and the plotting area.
  const TwipRect yTitle{kGap, f.top, kBoxHeight, f.height};
  const int sideLeft = std::max(f.left - kGap - kSideBoxWidth, yTitle.left + yTitle.width + kGap);
  const int sideWidth = f.left - kGap - sideLeft;

  const std::array<TwipRect, 6> texts = {{
      // Centred under the edges of the plotting area, but never past the frame's own edges.
      {std::max(f.left - kEndBoxWidth / 2, 0), belowTop, kEndBoxWidth, kBoxHeight},
      {std::min(figRight - kEndBoxWidth / 2, g.base.width - kEndBoxWidth), belowTop, kEndBoxWidth,
       kBoxHeight},
      {sideLeft, figBottom - kBoxHeight, sideWidth, kBoxHeight},
      {sideLeft, f.top, sideWidth, kBoxHeight},
      {f.left + kEndBoxWidth / 2 + kGap, belowTop, f.width - kEndBoxWidth - 2 * kGap, kBoxHeight},
      yTitle,
  }};

  FrameLayout out;
  out.base = ToPixels({0, 0, g.base.width, g.base.height}, sx, sy);
  out.fig = ToPixels(f, sx, sy);
  for (std::size_t i = 0; i < texts.size(); ++i) out.texts.at(i) = ToPixels(texts.at(i), sx, sy);
  for (std::size_t ch = 0; ch < 2; ++ch) {
    const int top = belowTop + kLegendRowStep * static_cast<int>(ch);
    const int shapeLeft = 2 * kGap;
    const int labelLeft = shapeLeft + kShapeSize + 2 * kGap;
    out.shapes.at(ch) = ToPixels(
        {shapeLeft, top + (kLabelHeight - kShapeSize) / 2, kShapeSize, kShapeSize}, sx, sy);
    out.labels.at(ch) = ToPixels({labelLeft, top, kLabelWidth, kLabelHeight}, sx, sy);
  }
  out.fontPixels = kFontPixels * std::min(sx, sy);
  return out;
}

}  // namespace velquor
