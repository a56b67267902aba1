#include "report/page_flow.h"

#include <algorithm>

namespace velquor {
namespace {

class Flow {
 public:
  Flow(double width, double height, double gap) : width_(width), height_(height), gap_(gap) {}

  void NewPage() {
    ++page_;
    x_ = 0;
    y_ = 0;
    rowBottom_ = 0;
    empty_ = true;
  }

  // Where a block of this size goes: beside the last one when it fits across, else below. A
  // block kept with the next one goes to a new page when the next one's first part would not
  // follow it on this page.
  void Place(std::size_t index, const FlowBox& b, const FlowBox* next,
             std::vector<Placement>& out) {
    if (b.newPage && !empty_) NewPage();
    if (!empty_ && x_ + b.width > width_ + 1e-9) NewRow();
    if (b.rowHeight > 0 && b.rows > 0) {
      PlaceTable(index, b, out);
      return;
    }
    const double with_next =
        b.keepWithNext && next != nullptr && !next->newPage ? gap_ + FirstPart(*next) : 0;
    if (!empty_ && y_ + b.height + with_next > height_ + 1e-9) NewPage();
    out.push_back({index, page_, x_, y_, b.height, 0, 0});
    Advance(b.width, b.height);
  }

 private:
  void NewRow() {
    x_ = 0;
    y_ = rowBottom_ + gap_;
  }

  void Advance(double w, double h) {
    x_ += w + gap_;
    rowBottom_ = std::max(rowBottom_, y_ + h);
    empty_ = false;
  }

  int RowsThatFit(const FlowBox& b) const {
    const double room = height_ - y_ - b.headHeight;
    return room < b.rowHeight ? 0 : static_cast<int>((room + 1e-9) / b.rowHeight);
  }

  // The least of a box that has to be set where it begins.
  static double FirstPart(const FlowBox& b) {
    if (b.rowHeight <= 0 || b.rows <= 0 || b.keepWhole) return b.height;
    return b.headHeight + std::min(b.rows, std::max(kFewestRowsBeforeBreak, 1)) * b.rowHeight;
  }

  // How many of the rows from `row` on may be set here: all when they fit; else as many as
  // fit, but none (so the table starts on the next page) when that leaves fewer than the
  // fewest rows before a break, or would part the kept tail from the row above it.
  int RowsHere(const FlowBox& b, int row) const {
    const int left = b.rows - row;
    const int fit = RowsThatFit(b);
    if (fit >= left) return left;
    if (b.keepWhole && row == 0) return 0;
    const int before_tail = b.keepTail > 0 ? left - b.keepTail - 1 : left;
    const int n = std::min(fit, before_tail);
    return n >= std::min(kFewestRowsBeforeBreak, left) ? n : 0;
  }

  void PlaceTable(std::size_t index, const FlowBox& b, std::vector<Placement>& out) {
    int row = 0;
    while (row < b.rows) {
      int fit = RowsHere(b, row);
      if (fit == 0 && !empty_) {
        NewPage();
        fit = RowsHere(b, row);
      }
      if (fit == 0) fit = RowsThatFit(b);  // taller than a page: split all the same
      const int n = std::clamp(b.rows - row, 1, std::max(fit, 1));
      const double h = b.headHeight + n * b.rowHeight;
      out.push_back({index, page_, x_, y_, h, row, n});
      Advance(b.width, h);
      row += n;
      if (row < b.rows) NewPage();
    }
  }

  double width_, height_, gap_;
  int page_ = 0;
  double x_ = 0, y_ = 0, rowBottom_ = 0;
  bool empty_ = true;
};

}  // namespace

std::vector<Placement> FlowBoxes(std::span<const FlowBox> boxes, double width, double height,
                                 double gap) {
  std::vector<Placement> out;
  Flow flow(width, height, gap);
  for (std::size_t i = 0; i < boxes.size(); ++i) {
    flow.Place(i, boxes[i], i + 1 < boxes.size() ? &boxes[i + 1] : nullptr, out);
  }
  return out;
}

std::string PageNumberText(int page, int pages) {
  return "Page " + std::to_string(page) + " of " + std::to_string(pages);
}

}  // namespace velquor
