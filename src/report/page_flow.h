// Setting blocks on pages: side by side while they fit across, a new row below, a new page
// when a row does not fit; a table that does not fit is split between rows, its head repeated,
// never before its third row nor inside the rows it keeps together at its end.
#pragma once

#include <span>
#include <string>
#include <vector>

namespace velquor {

struct FlowBox {
  double width = 0;
  double height = 0;      // whole block; for a table, head and every row
  double headHeight = 0;  // tables only
  double rowHeight = 0;   // tables only; 0 for a block that is never split
  int rows = 0;           // tables only
  bool newPage = false;
  bool keepWithNext = false;  // a heading: set on the page where the next box begins
  bool keepWhole = false;     // a table moved to a new page rather than split, if it fits there
  int keepTail = 0;           // a table's last rows, set with at least one row before them
};

// The fewest rows of a table set before a page break.
inline constexpr int kFewestRowsBeforeBreak = 3;

struct Placement {
  std::size_t box = 0;  // index into the boxes given
  int page = 0;         // 0-based
  double x = 0, y = 0;  // top-left corner inside the content area
  double height = 0;
  int firstRow = 0;  // tables: the rows set here
  int rowCount = 0;
};

// Places every box, in order, inside a content area of the given size, `gap` apart. A box
// taller than the area gets a page of its own; a table gets at least one row per part.
std::vector<Placement> FlowBoxes(std::span<const FlowBox> boxes, double width, double height,
                                 double gap);

// The footer of a page: "STEM" on the left, "Page N of M" on the right.
std::string PageNumberText(int page, int pages);

}  // namespace velquor
