#include "report/ui/report_pdf.h"

#include <QBuffer>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <filesystem>

#include "common/path_map.h"
#include "common/text_file.h"
#include "plot/ui/command_painter.h"
#include "plot/ui/frame_picture.h"
#include "report/page_flow.h"

namespace velquor {
namespace {

// Device units per millimetre: a graph's pen of 1 design pixel prints 0.1 mm wide.
constexpr double kUnitsPerMm = 10.0;
constexpr int kResolution = 254;  // dots per inch, so that kUnitsPerMm holds
constexpr double kPointsPerMm = 72.0 / 25.4;

QString Q(const std::string& s) {
  return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

double U(double mm) {
  return mm * kUnitsPerMm;
}

// The size in device units of a text of `points`, never below the smallest the report sets.
int Pixels(double points) {
  const int smallest = static_cast<int>(std::ceil(U(kSmallestPt / kPointsPerMm)));
  return std::max(smallest, static_cast<int>(std::lround(U(points / kPointsPerMm))));
}

// Latin texts in a sans-serif face, Japanese in a gothic face that covers it.
QFont TextFont(double points, bool bold = false) {
  QFont f;
  f.setFamilies({"DejaVu Sans", "IPAPGothic", "IPAGothic"});
  f.setPixelSize(Pixels(points));
  f.setBold(bold);
  // No ligatures: "Off" stays three letters for whoever copies or searches the text.
  f.setStyleStrategy(QFont::PreferNoShaping);
  return f;
}

class PagePainter {
 public:
  explicit PagePainter(QPainter& p) : p_(p), cell_(TextFont(kTablePt)) {}

  void Paint(const ReportBlock& b, const Placement& at) {
    const QPointF origin(U(kMarginMm + at.x), U(kMarginMm + at.y));
    if (const auto* h = std::get_if<Heading>(&b.content)) {
      p_.setFont(TextFont(h->points, true));
      p_.setPen(Qt::black);
      p_.drawText(QRectF(origin, QSizeF(U(kContentWidthMm), U(at.height))),
                  Qt::AlignLeft | Qt::AlignVCenter, Q(h->text));
    } else if (const auto* t = std::get_if<TextTable>(&b.content)) {
      Table(*t, origin, at.firstRow, at.rowCount);
    } else if (const auto* g = std::get_if<Graph>(&b.content)) {
      p_.setFont(cell_);
      PaintFrame(p_, origin, g->frame->frame, g->frame->canvas, g->geometry,
                 g->mmPerPixel * kUnitsPerMm, g->legend, Pixels(kSmallestPt));
      XLabels(*g, origin);
    }
  }

  void Footer(const std::string& stem, int page, int pages) {
    p_.setFont(cell_);
    p_.setPen(Qt::black);
    const QRectF line(U(kMarginMm), U(kFooterTopMm), U(kContentWidthMm), U(kRowHeightMm));
    p_.drawLine(line.topLeft(), line.topRight());
    p_.drawText(line, Qt::AlignLeft | Qt::AlignVCenter, Q(stem));
    p_.drawText(line, Qt::AlignRight | Qt::AlignVCenter, Q(PageNumberText(page, pages)));
  }

 private:
  // Each label centred under its X on the line of the axis ends, in a slot as wide as the
  // plotting area shared among the labels.
  void XLabels(const Graph& g, const QPointF& origin) {
    const PlotScale& scale = g.frame->canvas.initial().scale;
    if (g.xLabels.empty() || !scale.Usable()) return;
    const double s = g.mmPerPixel * kUnitsPerMm;
    const FrameLayout layout = LayoutFrame(g.geometry, s, s);
    const PixelMap map(scale, layout.fig);
    const PixelRect& line = layout.texts.at(static_cast<std::size_t>(AxisText::kXmin));
    const double slot = layout.fig.w / static_cast<double>(g.xLabels.size());
    p_.setPen(Qt::black);
    for (const AxisLabel& label : g.xLabels) {
      const QString text = Q(label.text);
      p_.setFont(FitFont(cell_, layout.fontPixels, text, slot, Pixels(kSmallestPt)));
      const double x = map.Map(label.x, 0).x;
      p_.drawText(QRectF(origin.x() + x - slot / 2, origin.y() + line.y, slot, line.h),
                  Qt::AlignCenter | Qt::TextDontClip, text);
    }
  }

  void Row(const TextTable& t, const std::vector<std::string>& cells, double y, double height,
           bool head, std::optional<Rgb> colour = std::nullopt) {
    double x = 0;
    const QFont font = TextFont(t.points, head);
    p_.setFont(font);
    const QFontMetricsF metrics(font);
    for (std::size_t c = 0; c < t.widths.size(); ++c) {
      const double w = t.widths[c];
      p_.setPen(c == 0 && colour ? ToQColor(*colour) : QColor(Qt::black));
      if (c < cells.size() && !cells[c].empty()) {
        const QRectF cell(x + U(kCellPaddingMm), y, U(w - 2 * kCellPaddingMm), U(height));
        const auto align =
            c < t.align.size() && t.align[c] == Align::kRight ? Qt::AlignRight : Qt::AlignLeft;
        const QString text = Q(cells[c]);
        // The columns are fitted to their texts; should one still be wider, it is set
        // smaller down to the smallest size, and never cut.
        const double fits = metrics.boundingRect(QRectF(), 0, text).width();
        if (fits > cell.width()) {
          QFont smaller = p_.font();
          smaller.setPixelSize(std::max(
              Pixels(kSmallestPt), static_cast<int>(smaller.pixelSize() * cell.width() / fits)));
          p_.setFont(smaller);
        }
        p_.drawText(cell, static_cast<int>(align | Qt::AlignVCenter | Qt::TextDontClip), text);
        p_.setFont(font);
      }
      x += U(w);
    }
  }

  void Table(const TextTable& t, const QPointF& origin, int first, int count) {
    p_.save();
    p_.translate(origin);
    p_.setPen(Qt::black);
    double width = 0;
    for (double w : t.widths) width += U(w);
    double y = 0;
    if (!t.caption.empty()) {
      p_.setFont(TextFont(kTablePt + 1, true));
      p_.drawText(QRectF(0, y, width, U(kRowHeightMm)), Qt::AlignLeft | Qt::AlignVCenter,
                  Q(t.caption));
      y += U(kRowHeightMm);
    }
    if (!t.head.empty()) {
      const double height = TableHeadHeight(t) - (t.caption.empty() ? 0 : kRowHeightMm);
      Row(t, t.head, y, height, true);
      y += U(height);
      p_.setPen(QPen(Qt::black, 2));
      p_.drawLine(QPointF(0, y), QPointF(width, y));
      p_.setPen(Qt::black);
    }
    const int end = std::min(first + count, static_cast<int>(t.rows.size()));
    for (int r = std::max(first, 0); r < end; ++r) {
      const auto index = static_cast<std::size_t>(r);
      Row(t, t.rows.at(index), y, kRowHeightMm, false,
          index < t.rowColour.size() ? t.rowColour[index] : std::nullopt);
      y += U(kRowHeightMm);
      p_.setPen(QPen(QColor(200, 200, 200), 1));
      p_.drawLine(QPointF(0, y), QPointF(width, y));
      p_.setPen(Qt::black);
    }
    p_.restore();
  }

  QPainter& p_;
  const QFont cell_;
};

}  // namespace

Result<std::string> ReportPdfBytes(const ReportDocument& doc) {
  if (QGuiApplication::instance() == nullptr) {
    return Problem{"", 0, 0, "the report cannot be drawn: no graphics session is running"};
  }
  const DocumentLayout layout = LayOutDocument(doc);
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  {
    QPdfWriter pdf(&buffer);
    pdf.setResolution(kResolution);
    pdf.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(),
                                  QPageLayout::Millimeter));
    pdf.setTitle(Q(doc.title));
    pdf.setCreator("Velquor");
    QPainter p;
    if (!p.begin(&pdf)) return Problem{"", 0, 0, "the PDF could not be started"};
    PagePainter pages(p);
    const int count = static_cast<int>(layout.pageStems.size());
    int page = 0;
    for (const Placement& at : layout.placements) {
      while (page < at.page + 1) {
        if (page > 0) pdf.newPage();
        ++page;
        pages.Footer(layout.pageStems.at(static_cast<std::size_t>(page - 1)), page, count);
      }
      pages.Paint(doc.blocks.at(at.box), at);
    }
    p.end();
  }
  return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

Status WriteReportPdf(const ReportDocument& doc, const std::string& path, bool overwrite) {
  const std::string native = ToNativePath(path);
  // Refused before the pages are drawn; the write itself refuses a file made meanwhile.
  std::error_code ec;
  if (!overwrite && std::filesystem::exists(native, ec)) {
    return Problem{path, 0, 0, "already exists and was not replaced"};
  }
  auto bytes = ReportPdfBytes(doc);
  if (!bytes) return Problem{path, 0, 0, bytes.problem().what};
  if (Status s = WriteFileAtomic(native, bytes.value(), overwrite); !s) {
    return Problem{path, 0, 0, s.problem().what};
  }
  return Status::Ok();
}

}  // namespace velquor
