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
// The legend row: squares at 240 and 840 across, captions at 480 and 1080, all from 120 down.
constexpr TwipRect kShapes[2] = {{240, 120, 135, 135}, {840, 120, 135, 135}};
constexpr TwipRect kLabels[2] = {{480, 90, 330, 195}, {1080, 90, 330, 195}};
constexpr int kLegendBottom = 90 + 195;

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
  const int sideWidth = std::min(kSideBoxWidth, f.left - 2 * kGap);
  const int sideLeft = f.left - kGap - sideWidth;

  const std::array<TwipRect, 6> texts = {{
      // Centred under the edges of the plotting area, but never past the frame's own edges.
      {std::max(f.left - kEndBoxWidth / 2, 0), belowTop, kEndBoxWidth, kBoxHeight},
      {std::min(figRight - kEndBoxWidth / 2, g.base.width - kEndBoxWidth), belowTop, kEndBoxWidth,
       kBoxHeight},
      {sideLeft, figBottom - kBoxHeight, sideWidth, kBoxHeight},
      // Level with the top edge, unless that would put it over the legend row.
      {sideLeft, std::max(f.top, kLegendBottom), sideWidth, kBoxHeight},
      {f.left + kEndBoxWidth / 2 + kGap, belowTop, f.width - kEndBoxWidth - 2 * kGap, kBoxHeight},
      {kGap, f.top + f.height / 2 - kBoxHeight / 2, f.left - 2 * kGap, kBoxHeight},
  }};

  FrameLayout out;
  out.base = ToPixels({0, 0, g.base.width, g.base.height}, sx, sy);
  out.fig = ToPixels(f, sx, sy);
  for (std::size_t i = 0; i < texts.size(); ++i) out.texts.at(i) = ToPixels(texts.at(i), sx, sy);
  out.shapes = {ToPixels(kShapes[0], sx, sy), ToPixels(kShapes[1], sx, sy)};
  out.labels = {ToPixels(kLabels[0], sx, sy), ToPixels(kLabels[1], sx, sy)};
  out.fontPixels = kFontPixels * std::min(sx, sy);
  return out;
}

}  // namespace velquor
