// How the main window's client area is shared: the graphs on the left, the column of
// condition, results, lamps and buttons on the right, and the notice row below both. The
// column never shrinks; on a narrow desktop the graphs give way down to a floor.
#pragma once

#include "measure/screen_placement.h"

namespace velquor {

// Design sizes in twips (15 per pixel at scale 1). The graph part holds the six graphs left
// of the column; the column holds the condition, results, power graph, lamps and buttons.
inline constexpr int kGraphPartWidth = 10500;
inline constexpr int kPartHeight = 8640;
inline constexpr int kColumnPartWidth = 6180;
// Where the button column (lamps, Start, Stop, the screens, Notices...) starts in the column
// part, and its width.
inline constexpr int kButtonColumnLeft = 3780;
inline constexpr int kButtonColumnWidth = 2280;
// The smallest scale the graphs are drawn at before the window refuses to get narrower.
inline constexpr double kGraphFloorScale = 0.8;

struct MainWindowLayout {
  ScreenRect graphs;  // the graph part, drawn at graphScale
  double graphScale = 1.0;
  ScreenRect column;  // the column part, drawn at columnScale
  double columnScale = 1.0;
  ScreenRect noticeLine;
  ScreenRect noticesButton;
};

// The parts of a client area of `width` x `height` pixels, with a notice row
// `notice_height` pixels high. While the area holds both parts at design size or more, both
// are drawn at the same scale side by side, as one design; when it is smaller the column
// keeps its design size and the graphs shrink to what is left, never below kGraphFloorScale.
MainWindowLayout LayOutMainWindow(int width, int height, int notice_height);

// The client area at design size.
ScreenRect MainWindowDesign(int notice_height);
// The smallest client area that keeps the column whole and the graphs at their floor.
ScreenRect MainWindowMinimum(int notice_height);

}  // namespace velquor
