#include "measure/main_window_layout.h"

#include <algorithm>
#include <cmath>

namespace velquor {
namespace {

constexpr int kTwips = 15;
constexpr int kMargin = 8;  // pixels around the notice row

int Px(double twips, double scale) {
  return static_cast<int>(std::lround(twips * scale / kTwips));
}

}  // namespace

MainWindowLayout LayOutMainWindow(int width, int height, int notice_height) {
  const double designWidth = static_cast<double>(kGraphPartWidth + kColumnPartWidth) / kTwips;
  const double designHeight = static_cast<double>(kPartHeight) / kTwips;
  const int partsHeight = std::max(height - notice_height - 2 * kMargin, 1);
  MainWindowLayout out;
  const double together = std::min(width / designWidth, partsHeight / designHeight);
  if (together >= 1.0) {
    out.graphScale = out.columnScale = together;
    out.graphs = {0, 0, Px(kGraphPartWidth, together), Px(kPartHeight, together)};
  } else {
    // Too small for the design: the column stays whole, the graphs take what is left of the
    // width and height.
    const int columnWidth = Px(kColumnPartWidth, 1.0);
    const double sx = (width - columnWidth) * kTwips / static_cast<double>(kGraphPartWidth);
    const double sy = partsHeight / designHeight;
    out.graphScale = std::clamp(std::min(sx, sy), kGraphFloorScale, 1.0);
    out.graphs = {0, 0, Px(kGraphPartWidth, out.graphScale), Px(kPartHeight, out.graphScale)};
  }
  const double c = out.columnScale;
  out.column = {out.graphs.right(), 0, Px(kColumnPartWidth, c), Px(kPartHeight, c)};
  const int rowTop = std::max(out.graphs.bottom(), out.column.bottom()) + kMargin;
  const int buttonLeft = out.column.left + Px(kButtonColumnLeft, c);
  out.noticesButton = {buttonLeft, rowTop, Px(kButtonColumnWidth, c), notice_height};
  out.noticeLine = {kMargin, rowTop, buttonLeft - 2 * kMargin, notice_height};
  return out;
}

ScreenRect MainWindowDesign(int notice_height) {
  return {0, 0, Px(kGraphPartWidth + kColumnPartWidth, 1.0),
          Px(kPartHeight, 1.0) + notice_height + 2 * kMargin};
}

ScreenRect MainWindowMinimum(int notice_height) {
  const int width = Px(kGraphPartWidth, kGraphFloorScale) + Px(kColumnPartWidth, 1.0);
  return {0, 0, width, Px(kPartHeight, 1.0) + notice_height + 2 * kMargin};
}

}  // namespace velquor
