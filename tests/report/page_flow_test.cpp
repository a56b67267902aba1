#include "report/page_flow.h"

#include <gtest/gtest.h>

#include <vector>

namespace velquor {
namespace {

struct Where {
  int page;
  double x, y;
  int firstRow, rowCount;
  bool operator==(const Where&) const = default;
};

std::vector<Where> Flow(const std::vector<FlowBox>& boxes) {
  std::vector<Where> out;
  for (const Placement& p : FlowBoxes(boxes, 100, 100, 2)) {
    out.push_back({p.page, p.x, p.y, p.firstRow, p.rowCount});
  }
  return out;
}

FlowBox Box(double w, double h, bool newPage = false) {
  FlowBox b{w, h};
  b.newPage = newPage;
  return b;
}

FlowBox Table(double w, int rows, int keep_tail = 0, bool keep_whole = false) {
  FlowBox b{w, 10.0 + rows * 10.0, 10.0, 10.0, rows};
  b.keepTail = keep_tail;
  b.keepWhole = keep_whole;
  return b;
}

FlowBox Heading(double h) {
  FlowBox b{100, h};
  b.keepWithNext = true;
  return b;
}

TEST(FlowBoxes, SetsBlocksAcrossThenDownThenOnNewPages) {
  struct Case {
    const char* what;
    std::vector<FlowBox> boxes;
    std::vector<Where> expected;
  };
  const Case cases[] = {
      {"side by side while they fit, then a new row under the taller",
       {Box(49, 30), Box(49, 20), Box(49, 10)},
       {{0, 0, 0, 0, 0}, {0, 51, 0, 0, 0}, {0, 0, 32, 0, 0}}},
      {"a row that does not fit goes to the next page",
       {Box(100, 60), Box(100, 60)},
       {{0, 0, 0, 0, 0}, {1, 0, 0, 0, 0}}},
      {"a block taller than the page starts a page of its own",
       {Box(10, 10), Box(10, 150), Box(10, 10)},
       {{0, 0, 0, 0, 0}, {1, 0, 0, 0, 0}, {1, 12, 0, 0, 0}}},
      {"a table is split where the page ends, its head repeated",
       {Box(100, 50), Table(100, 12)},
       {{0, 0, 0, 0, 0}, {0, 0, 52, 0, 3}, {1, 0, 0, 3, 9}}},
      {"a table whose head and first row do not fit starts on the next page",
       {Box(100, 85), Table(100, 2)},
       {{0, 0, 0, 0, 0}, {1, 0, 0, 0, 2}}},
      {"a summary of three rows stays with the row above it",
       {Box(100, 20), Table(100, 8, 3)},
       {{0, 0, 0, 0, 0}, {0, 0, 22, 0, 4}, {1, 0, 0, 4, 4}}},
      {"without a summary the same table is split where the page ends",
       {Box(100, 20), Table(100, 8)},
       {{0, 0, 0, 0, 0}, {0, 0, 22, 0, 6}, {1, 0, 0, 6, 2}}},
      {"fewer than three rows before the break: the table starts on the next page",
       {Box(100, 60), Table(100, 5)},
       {{0, 0, 0, 0, 0}, {1, 0, 0, 0, 5}}},
      {"a table kept whole goes to the next page",
       {Box(100, 40), Table(100, 6, 0, true)},
       {{0, 0, 0, 0, 0}, {1, 0, 0, 0, 6}}},
      {"a table kept whole but taller than a page is split all the same",
       {Box(100, 40), Table(100, 12, 0, true)},
       {{0, 0, 0, 0, 0}, {1, 0, 0, 0, 9}, {2, 0, 0, 9, 3}}},
      {"a heading goes to the page of the block after it",
       {Box(100, 70), Heading(10), Box(100, 30)},
       {{0, 0, 0, 0, 0}, {1, 0, 0, 0, 0}, {1, 0, 12, 0, 0}}},
      {"a heading before a table needs its head and three rows",
       {Box(100, 50), Heading(10), Table(100, 6)},
       {{0, 0, 0, 0, 0}, {1, 0, 0, 0, 0}, {1, 0, 12, 0, 6}}},
  };
  for (const Case& c : cases) EXPECT_EQ(Flow(c.boxes), c.expected) << c.what;
}

}  // namespace
}  // namespace velquor
