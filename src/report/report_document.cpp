#include "report/report_document.h"

#include <numeric>

namespace velquor {
namespace {

constexpr double kMmPerPoint = 25.4 / 72.0;
constexpr double kLineSpacing = 1.6;

double GraphMm(int twips, double mm_per_pixel) {
  return twips / static_cast<double>(kTwipsPerPixel) * mm_per_pixel;
}

struct Width {
  double operator()(const Heading&) const { return kContentWidthMm; }
  double operator()(const TextTable& t) const {
    return std::accumulate(t.widths.begin(), t.widths.end(), 0.0);
  }
  double operator()(const Graph& g) const { return GraphMm(g.geometry.base.width, g.mmPerPixel); }
};

struct Height {
  double operator()(const Heading& h) const { return h.points * kMmPerPoint * kLineSpacing; }
  double operator()(const TextTable& t) const {
    return TableHeadHeight(t) + static_cast<double>(t.rows.size()) * kRowHeightMm;
  }
  double operator()(const Graph& g) const { return GraphMm(g.geometry.base.height, g.mmPerPixel); }
};

}  // namespace

double TableHeadHeight(const TextTable& t) {
  const double caption = t.caption.empty() ? 0 : kRowHeightMm;
  if (t.head.empty()) return caption;
  return caption + (t.headLines > 1 ? t.headLines * kHeadLineMm : kRowHeightMm);
}

double BlockWidth(const ReportBlock& b) {
  return std::visit(Width{}, b.content);
}

double BlockHeight(const ReportBlock& b) {
  return std::visit(Height{}, b.content);
}

}  // namespace velquor

namespace velquor {

DocumentLayout LayOutDocument(const ReportDocument& doc) {
  std::vector<FlowBox> boxes;
  boxes.reserve(doc.blocks.size());
  for (const ReportBlock& b : doc.blocks) {
    FlowBox box{BlockWidth(b), BlockHeight(b)};
    box.newPage = b.newPage;
    box.keepWithNext = std::holds_alternative<Heading>(b.content);
    if (const auto* t = std::get_if<TextTable>(&b.content)) {
      box.headHeight = TableHeadHeight(*t);
      box.rowHeight = kRowHeightMm;
      box.rows = static_cast<int>(t->rows.size());
      box.keepWhole = t->keepWhole;
      box.keepTail = t->keepTail;
    }
    boxes.push_back(box);
  }
  DocumentLayout out;
  out.placements = FlowBoxes(boxes, kContentWidthMm, kContentHeightMm, kBlockGapMm);
  for (const Placement& p : out.placements) {
    if (static_cast<std::size_t>(p.page) >= out.pageStems.size()) {
      out.pageStems.resize(static_cast<std::size_t>(p.page) + 1, doc.blocks.at(p.box).stem);
    }
  }
  return out;
}

}  // namespace velquor
