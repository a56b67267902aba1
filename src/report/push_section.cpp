#include "report/push_section.h"

#include <memory>

#include "analysis/push_forms.h"
#include "analysis/push_pairs.h"
#include "common/number_text.h"
#include "plot/push_graphs.h"

namespace velquor {
namespace {

using F = PushFigure;

// The two tables of a wheel, each column a figure.
constexpr std::array<F, 8> kTiming = {F::kOn,           F::kOff,          F::kPushTime,
                                      F::kCycleTime,    F::kRecoveryTime, F::kPushFraction,
                                      F::kContactAngle, F::kMeanSpeed};
constexpr std::array<F, 9> kForces = {F::kPeakTorque, F::kTimeToPeak, F::kMeanTorque,
                                      F::kRateOfRise, F::kSmoothness, F::kPeakPower,
                                      F::kMeanPower,  F::kPushWork,   F::kNegativeWork};

constexpr std::array<const char*, kPushFigureCount> kHeads = {
    "On (s)",        "Off (s)",       "Push time (s)",  "Cycle time (s)", "Recovery (s)",
    "Push (%)",      "Contact (deg)", "Peak (Nm)",      "To peak (s)",    "Mean (Nm)",
    "Rise (Nm/s)",   "Smoothness",    "Peak power (W)", "Mean power (W)", "Work (J)",
    "Neg. work (J)", "Speed (m/s)"};

constexpr std::array<const char*, 2> kWheel = {"ch0 (L)", "ch1 (R)"};

template <std::size_t N>
TextTable FigureTable(const WheelPushes& w, const std::array<F, N>& figures,
                      const std::string& caption) {
  TextTable t;
  t.caption = caption;
  t.head.push_back("Push");
  t.widths.push_back(14);
  t.align.push_back(Align::kLeft);
  const double width = (kContentWidthMm - 14) / static_cast<double>(N);
  for (F f : figures) {
    t.head.push_back(FigureHead(f));
    t.widths.push_back(width);
    t.align.push_back(Align::kRight);
  }
  for (const Push& p : w.pushes) {
    std::vector<std::string> row = {std::to_string(p.number)};
    for (F f : figures) row.push_back(FigureCell(p.Figure(f)));
    t.rows.push_back(std::move(row));
  }
  const std::pair<const char*, std::optional<double> FigureSummary::*> summary[] = {
      {"Mean", &FigureSummary::mean},
      {"SD", &FigureSummary::sd},
      {"CV (%)", &FigureSummary::cv_pct}};
  for (const auto& [label, field] : summary) {
    std::vector<std::string> row = {label};
    for (F f : figures) {
      row.push_back(IsSummarised(f) ? FigureCell(w.summary.Figure(f).*field) : "");
    }
    t.rows.push_back(std::move(row));
  }
  t.keepTail = static_cast<int>(std::size(summary));
  return t;
}

// The summary window as a clause of the parameters line, empty when it is open.
std::string WindowText(const PushParameters& p) {
  if (!p.from_s && !p.to_s) return "";
  std::string t = ", only pushes beginning";
  if (p.from_s) t += " from " + PlainForm(*p.from_s) + " s";
  if (p.to_s) t += " to " + PlainForm(*p.to_s) + " s";
  return t;
}

// Left and right together in one row: the pairs, their lag and the mean symmetry index
// 100 x (R - L) / mean of R and L of the figures fed back by default, over steady pairs.
std::string PairsText(const PushAnalysis& a) {
  const PushPairs pairs = PairPushes(a);
  const auto cell = [](std::optional<double> v) { return v ? FigureCell(v) : std::string("-"); };
  std::string t = std::to_string(pairs.pairs.size()) + " pairs (" +
                  std::to_string(pairs.summary.steady) + " steady), lag " +
                  cell(pairs.summary.lag_ms.mean) + " ms; SI %: contact " +
                  cell(pairs.summary.Si(F::kContactAngle).mean) + ", peak " +
                  cell(pairs.summary.Si(F::kPeakTorque).mean) + ", rise " +
                  cell(pairs.summary.Si(F::kRateOfRise).mean) + ", work " +
                  cell(pairs.summary.Si(F::kPushWork).mean);
  return t;
}

}  // namespace

std::string FigureHead(PushFigure f) {
  return kHeads.at(static_cast<std::size_t>(f));
}

std::string PushCountsText(const WheelPushes& w) {
  const PushSummary& s = w.summary;
  std::string t = kWheel.at(static_cast<std::size_t>(w.wheel) % 2);
  t += ": " + std::to_string(s.pushes) + " pushes, " + std::to_string(s.partial) + " partial, " +
       std::to_string(s.rejected) + " rejected, " + std::to_string(s.steady) + " steady";
  if (s.push_frequency_per_min) t += ", " + FigureCell(s.push_frequency_per_min) + " pushes/min";
  return t;
}

void AppendPushSection(const std::string& stem, const PushAnalysis& a,
                       const std::array<Rgb, 3>& GraphColor, ReportDocument& doc) {
  const PushParameters& p = a.parameters;
  doc.blocks.push_back(
      {Heading{"Pushes, and their mean push curve (mean and SD of the steady pushes)"}, stem});
  TextTable params;
  params.widths = {40, 140};
  params.align = {Align::kLeft, Align::kLeft};
  // Cells do not wrap: the detection and the summary's choice of pushes take a row each.
  params.rows = {
      {"Parameters", "threshold " + PlainForm(p.threshold) + " Nm, minimum peak " +
                         PlainForm(p.min_peak) + " Nm, minimum push " + PlainForm(p.min_push) +
                         " s, merge gap " + PlainForm(p.merge_gap) + " s"},
      {"", "steady pushes from No." + std::to_string(p.skip_first + 1) + ", the last " +
               std::to_string(p.skip_last) + " left out" + WindowText(p)}};
  for (const WheelPushes& w : a.wheels) params.rows.push_back({"", PushCountsText(w)});
  params.rows.push_back({"Left/right", PairsText(a)});
  params.keepWhole = true;
  doc.blocks.push_back({std::move(params), stem});

  auto curve = std::make_shared<RecordingFrame>();
  curve->frame.SetLegendColour(0, GraphColor[0]);
  curve->frame.SetLegendColour(1, GraphColor[1]);
  DrawPushCurveGraph(curve->frame, a, GraphColor);
  doc.blocks.push_back({Graph{kPushCurveFrame, curve, true, kSmallGraphMmPerPixel}, stem});

  for (const WheelPushes& w : a.wheels) {
    const std::string wheel = kWheel.at(static_cast<std::size_t>(w.wheel) % 2);
    doc.blocks.push_back(
        {FigureTable(w, kTiming, "Pushes of " + wheel + ": timing and contact"), stem});
    doc.blocks.push_back(
        {FigureTable(w, kForces, "Pushes of " + wheel + ": torque, power and work"), stem});
  }
}

}  // namespace velquor
