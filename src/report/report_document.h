// A report as a list of blocks to be set on A4 pages: headings, tables of texts and graphs
// recorded through the same canvas commands as the screens, each with the stem its pages
// carry in their footer. Sizes are in millimetres.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "plot/frame_geometry.h"
#include "plot/plot_frame.h"

namespace velquor {

// A4 portrait and the area inside the margins that blocks are set in; the footer sits
// below that area.
inline constexpr double kPageWidthMm = 210.0;
inline constexpr double kPageHeightMm = 297.0;
inline constexpr double kMarginMm = 15.0;
inline constexpr double kContentWidthMm = kPageWidthMm - 2 * kMarginMm;
inline constexpr double kContentHeightMm = kPageHeightMm - 2 * kMarginMm - 5.0;
inline constexpr double kFooterTopMm = kPageHeightMm - kMarginMm - 2.0;
// Space between blocks, across and down.
inline constexpr double kBlockGapMm = 3.0;
// A graph is set at this many millimetres per pixel of its on-screen design size; the
// tallest graphs at the smaller scale (their texts stay above the smallest size).
inline constexpr double kGraphMmPerPixel = 0.35;
inline constexpr double kSmallGraphMmPerPixel = 0.25;
// Text sizes in points, the smallest any text is set in, the height of a table row and of
// each line of a table's column heads, and the space inside a cell on either side.
inline constexpr double kTitlePt = 14.0;
inline constexpr double kHeadingPt = 10.0;
inline constexpr double kTablePt = 7.5;
inline constexpr double kSmallestPt = 7.0;
inline constexpr double kRowHeightMm = 3.5;
inline constexpr double kHeadLineMm = 3.2;
inline constexpr double kCellPaddingMm = 1.0;

struct Heading {
  std::string text;
  double points = kHeadingPt;
};

enum class Align { kLeft, kRight };

// A caption and column heads (none when empty), rows of cells and each column's width and
// alignment. A table split between pages repeats its caption and heads.
struct TextTable {
  std::string caption;
  std::vector<std::string> head;  // a head may hold one "\n": two lines
  int headLines = 1;
  double points = kTablePt;  // the size of its cells and heads
  bool keepWhole = false;    // moved to the next page rather than split, when it fits there
  int keepTail = 0;          // the last rows (a summary) never parted from the row above them
  std::vector<std::vector<std::string>> rows;
  std::vector<double> widths;  // mm
  std::vector<Align> align;
  // The colour of a row's first cell, where it matters (a key to a graph's curves).
  std::vector<std::optional<Rgb>> rowColour;
};

// A text under the plotting area, centred at an X of the frame's scale.
struct AxisLabel {
  double x = 0;
  std::string text;
};

// A plot frame drawn without a screen, set at its design layout.
struct Graph {
  FrameGeometry geometry;
  std::shared_ptr<const RecordingFrame> frame;
  bool legend = true;  // the ch0 and ch1 squares; off where colours mean something else
  double mmPerPixel = kGraphMmPerPixel;
  // Texts along the X axis where its two ends alone would not say enough (sessions by label).
  std::vector<AxisLabel> xLabels = {};
};

struct ReportBlock {
  std::variant<Heading, TextTable, Graph> content;
  std::string stem;      // shown in the footer of every page the block is on
  bool newPage = false;  // starts a new page
};

struct ReportDocument {
  std::string title;  // the PDF's title
  std::vector<ReportBlock> blocks;
};

// Width and height of a block as set (a table: all its rows under its head).
double BlockWidth(const ReportBlock& b);
double BlockHeight(const ReportBlock& b);
// The height of a table's caption and heads.
double TableHeadHeight(const TextTable& t);

}  // namespace velquor

#include "report/page_flow.h"

namespace velquor {

// Where every block of a document goes, and the stem each page's footer names (that of
// the first block on the page).
struct DocumentLayout {
  std::vector<Placement> placements;  // box = index of the block
  std::vector<std::string> pageStems;
};
DocumentLayout LayOutDocument(const ReportDocument& doc);

}  // namespace velquor
