#include "report/session_comparison.h"

#include <algorithm>
#include <memory>

#include "analysis/push_forms.h"
#include "analysis/result_texts.h"
#include "common/number_text.h"
#include "plot/nice_range.h"
#include "plot/push_graphs.h"
#include "report/push_section.h"
#include "report/report_texts.h"

namespace velquor {
namespace {

constexpr std::array<const char*, 2> kWheel = {"ch0", "ch1"};

// Figures compared, each with its CV beside it.
constexpr std::array<PushFigure, 4> kCompared = {PushFigure::kPushTime, PushFigure::kContactAngle,
                                                 PushFigure::kPeakTorque, PushFigure::kPushWork};

// Ten colours that tell curves apart on white.
constexpr std::array<Rgb, 10> kPalette = {
    MakeRgb(31, 119, 180),  MakeRgb(255, 127, 14), MakeRgb(44, 160, 44),   MakeRgb(214, 39, 40),
    MakeRgb(148, 103, 189), MakeRgb(140, 86, 75),  MakeRgb(227, 119, 194), MakeRgb(127, 127, 127),
    MakeRgb(188, 189, 34),  MakeRgb(23, 190, 207)};

std::string SessionStem(std::span<const ComparisonEntry> entries) {
  if (entries.size() == 1) return entries.front().stem;
  if (entries.empty()) return "Session";
  return "Session " + entries.front().stem + " to " + entries.back().stem;
}

TextTable ComparisonTable(std::span<const ComparisonEntry> entries) {
  TextTable t;
  t.head = {"Stem", "Date", "Condition", "", "Speed (m/s)", "Steady", "Pushes/min"};
  t.widths = {19, 16, 16, 7, 10, 9, 11};
  for (PushFigure f : kCompared) {
    t.head.push_back(FigureHead(f));
    t.head.push_back("CV (%)");
    t.widths.insert(t.widths.end(), {12.5, 10.5});
  }
  t.align.assign(t.widths.size(), Align::kRight);
  std::fill_n(t.align.begin(), 4, Align::kLeft);
  for (std::size_t m = 0; m < entries.size(); ++m) {
    const ComparisonEntry& e = entries[m];
    for (std::size_t w = 0; w < 2; ++w) {
      std::vector<std::string> row = {"", "", "", kWheel.at(w)};
      if (w == 0) row = {e.stem, e.date, e.condition, kWheel.at(w)};
      row.insert(row.end(), e.wheels.at(w).begin(), e.wheels.at(w).end());
      t.rows.push_back(std::move(row));
      t.rowColour.push_back(w == 0 ? std::optional(SessionColour(m)) : std::nullopt);
    }
  }
  return t;
}

// The mean curves of one wheel of every measurement over 0..100 % of push time.
std::shared_ptr<RecordingFrame> OverlaidCurves(std::span<const ComparisonEntry> entries,
                                               std::size_t wheel) {
  auto f = std::make_shared<RecordingFrame>();
  double low = 0, high = 0;
  for (const ComparisonEntry& e : entries) {
    if (!e.curves.at(wheel)) continue;
    const auto [lo, hi] =
        std::minmax_element(e.curves.at(wheel)->begin(), e.curves.at(wheel)->end());
    low = std::min(low, *lo);
    high = std::max(high, *hi);
  }
  PlotFrame& frame = f->frame;
  frame.SetTexts("0", "100", PlainForm(TenDown(low)), PlainForm(TenUp(high)), "Push time (%)",
                 std::string("Torque ") + kWheel.at(wheel) + " (Nm)");
  if (!frame.ScaleFromTextsAndClear().Usable()) return f;
  Canvas& c = frame.canvas();
  c.SetPenWidth(1);
  c.Line(0, 0, 100, 0, kReferenceGrey);
  c.SetPenWidth(2);
  for (std::size_t m = 0; m < entries.size(); ++m) {
    const auto& curve = entries[m].curves.at(wheel);
    if (!curve) continue;
    for (std::size_t k = 1; k < kCurvePoints; ++k) {
      c.Line(static_cast<float>(k - 1), static_cast<float>(curve->at(k - 1)), static_cast<float>(k),
             static_cast<float>(curve->at(k)), SessionColour(m));
    }
  }
  c.SetPenWidth(1);
  return f;
}

}  // namespace

Rgb SessionColour(std::size_t index) {
  return kPalette.at(index % kPalette.size());
}

ComparisonEntry CompareMeasurement(const ReportSource& src) {
  ComparisonEntry e;
  e.stem = ShownStem(src.facts);
  e.date = IsoDate(src.facts.date);
  e.condition = PlainForm(src.rec.SampInterval) + " ms x " + PlainForm(src.rec.DataNum);
  const MainResultTexts m = ShowMainResults(src.kin);
  for (std::size_t w = 0; w < 2; ++w) {
    std::vector<std::string>& cells = e.wheels.at(w);
    cells = {m.txtSpeedAv.at(w)};
    if (src.pushes != nullptr) ComparePushes(*src.pushes, w, e);
  }
  return e;
}

void ComparePushes(const PushAnalysis& pushes, std::size_t wheel, ComparisonEntry& e) {
  const WheelPushes& wp = pushes.wheels.at(wheel);
  std::vector<std::string>& cells = e.wheels.at(wheel);
  cells.push_back(std::to_string(wp.summary.steady));
  cells.push_back(FigureCell(wp.summary.push_frequency_per_min));
  for (PushFigure f : kCompared) {
    cells.push_back(FigureCell(wp.summary.Figure(f).mean));
    cells.push_back(FigureCell(wp.summary.Figure(f).cv_pct));
  }
  if (wp.curve) e.curves.at(wheel) = wp.curve->mean;
}

void AppendSessionComparison(std::span<const ComparisonEntry> entries, ReportDocument& doc) {
  const std::string stem = SessionStem(entries);
  doc.blocks.push_back(
      {Heading{"Session of " + std::to_string(entries.size()) + " measurements", kTitlePt}, stem});
  doc.blocks.push_back({ComparisonTable(entries), stem});
  doc.blocks.push_back({Heading{"Mean push curves of the steady pushes"}, stem});
  for (std::size_t w = 0; w < 2; ++w) {
    doc.blocks.push_back({Graph{kPushCurveFrame, OverlaidCurves(entries, w), false}, stem});
  }
}

}  // namespace velquor
