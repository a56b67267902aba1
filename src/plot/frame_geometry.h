// Where the plot frames sit on their screens and where the plotting area, the axis boxes,
// the titles and the legend sit inside a frame, in twips (15 per pixel) at design size.
#pragma once

#include <array>

#include "plot/plot_scale.h"

namespace velquor {

inline constexpr int kTwipsPerPixel = 15;

struct TwipRect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
};

// A frame's outer rectangle on its screen and its plotting area inside the frame.
struct FrameGeometry {
  TwipRect base;
  TwipRect fig;
};

// The main window's frames by index: torque, speed, distance, turning angle, turning rate,
// path, power.
inline constexpr std::array<FrameGeometry, 7> kForm1Frames = {{
    {{120, 120, 7215, 2655}, {960, 240, 4815, 1815}},
    {{120, 2880, 7215, 2655}, {960, 240, 4815, 1815}},
    {{120, 6240, 3375, 2295}, {840, 120, 2415, 1695}},
    {{3600, 6240, 3375, 2295}, {840, 120, 2415, 1695}},
    {{7080, 6240, 3375, 2295}, {840, 120, 2415, 1695}},
    {{7440, 120, 3015, 6015}, {840, 240, 1815, 4935}},
    {{10560, 6240, 3375, 2295}, {840, 120, 2415, 1695}},
}};
// The Calculated Results screen's torque graph with stroke markers, across the screen below
// its conditions and results.
inline constexpr FrameGeometry kForm7Frame = {{120, 5400, 9720, 2655}, {960, 240, 8520, 1815}};
// The same graph in a report, at the size it had on the screen before it got the screen's
// width.
inline constexpr FrameGeometry kStrokeReportFrame = {{120, 1440, 2895, 1815},
                                                     {720, 120, 1935, 1215}};
// The calibration screen's graph.
inline constexpr FrameGeometry kForm5Frame = {{120, 3000, 4215, 2655}, {960, 240, 3015, 1815}};

// The controls of a frame placed in pixels relative to the frame's top-left corner.
struct FrameLayout {
  PixelRect base;                   // the whole frame, at (0, 0)
  PixelRect fig;                    // plotting area
  std::array<PixelRect, 6> texts;   // Xmin, Xmax, Ymin, Ymax, Xaxis, Yaxis (upright strip)
  std::array<PixelRect, 2> shapes;  // legend squares Shape_ch0, Shape_ch1
  std::array<PixelRect, 2> labels;  // legend captions Label2 "ch0", Label1 "ch1"
  double fontPixels = 0.0;          // text size that suits the boxes
};

// Pixel rectangle of a twip rectangle, stretched by sx across and sy down.
PixelRect ToPixels(const TwipRect& r, double sx, double sy);

// Lays out a frame stretched by sx and sy from its design size (1, 1 at design size):
// Xmin and Xmax centred under the left and right edges of the plotting area, Ymax level
// with its top and Ymin with its bottom on its left, the X title centred below it, the Y
// title (drawn turned a quarter to the left) in a strip along the frame's left edge as high
// as the plotting area, and the legend's two rows in the corner below the Y axis, where
// neither an axis number nor the plot lies.
FrameLayout LayoutFrame(const FrameGeometry& g, double sx, double sy);

}  // namespace velquor
