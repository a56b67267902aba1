#include "report/measurement_section.h"

#include <memory>

#include "analysis/result_texts.h"
#include "common/number_text.h"
#include "plot/main_graphs.h"
#include "plot/stroke_graph.h"
#include "report/push_section.h"
#include "report/report_texts.h"

namespace velquor {
namespace {

constexpr std::array<const char*, 2> kWheel = {"ch0 (L)", "ch1 (R)"};

// The tables of the screens' results are set whole.
TextTable Table(std::vector<std::string> head, std::vector<double> widths, Align rest) {
  TextTable t;
  t.keepWhole = true;
  t.head = std::move(head);
  t.align.assign(widths.size(), rest);
  t.align.front() = Align::kLeft;
  t.widths = std::move(widths);
  return t;
}

void Add(ReportDocument& doc, const std::string& stem, auto content, bool newPage = false) {
  doc.blocks.push_back({std::move(content), stem, newPage});
}

std::string CalibrationText(const ReportSource& s, std::size_t ch) {
  std::string t = "Ka1 = " + CoefficientText(s.Ka1.at(ch)) +
                  " Nm/V, Ka0 = " + CoefficientText(s.Ka0.at(ch)) + " Nm";
  return s.calibrationLoaded ? t : t + " (no calibration loaded)";
}

std::string StrokeConditionText(const StrokeConditions& c) {
  const char* judged = c.channel == JudgeChannel::kCh0   ? "ch0"
                       : c.channel == JudgeChannel::kCh1 ? "ch1"
                                                         : "Auto";
  return "From " + PlainForm(c.StartPosCond) + " sec, Less than " + PlainForm(c.LimitCond) +
         " Nm, " + judged;
}

TextTable FactsTable(const ReportSource& s) {
  TextTable t = Table({}, {40, 140}, Align::kLeft);
  const SummaryFacts& f = s.facts;
  const std::string when =
      f.date.empty() && f.time.empty() ? "not saved" : IsoDateTime(f.date, f.time);
  t.rows = {
      {"Date and time", when},
      {"Program", f.program.empty() ? s.rec.ProgramName : f.program},
      {"Note", f.note},
      {"Measuring condition", ConditionText(s.rec)},
      {"Calibration ch0 (L)", CalibrationText(s, 0)},
      {"Calibration ch1 (R)", CalibrationText(s, 1)},
      {"Shift", s.shift ? "On (torque without Ka0)" : "Off"},
      {"Stroke condition", StrokeConditionText(s.strokeConditions)},
  };
  t.keepWhole = true;
  return t;
}

TextTable MainTable(const KinematicsResults& kin) {
  const MainResultTexts m = ShowMainResults(kin);
  TextTable t = Table({"", "", "Max.", "Av.", "Min."}, {22, 16, 18, 18, 18}, Align::kRight);
  t.caption = "Main window";
  t.align.at(1) = Align::kLeft;
  for (std::size_t ch = 0; ch < 2; ++ch) {
    t.rows.push_back({ch == 0 ? "Torque (Nm)" : "", kWheel.at(ch), m.txtTqMax.at(ch),
                      m.txtTqAv.at(ch), m.txtTqMin.at(ch)});
  }
  for (std::size_t ch = 0; ch < 2; ++ch) {
    t.rows.push_back({ch == 0 ? "Speed (m/s)" : "", kWheel.at(ch), m.txtSpeedMax.at(ch),
                      m.txtSpeedAv.at(ch), m.txtSpeedMin.at(ch)});
  }
  return t;
}

TextTable StrokeTable(const StrokeResults& r) {
  const StrokeTableTexts s = StrokeBoxTexts(r);
  TextTable t = Table({"Stroke", "sec", "m", "deg"}, {16, 18, 18, 18}, Align::kRight);
  t.caption = "Calculated Results";
  for (std::size_t k = 1; k <= 3; ++k) {
    t.rows.push_back(
        {"No." + std::to_string(k), s.txtStTime.at(k), s.txtStDis.at(k), s.txtStAngle.at(k)});
  }
  return t;
}

// The lower table of the Calculated Results screen for each stroke in turn.
TextTable ChosenTable(const StrokeResults& r) {
  TextTable t = Table({"Stroke", "", "", "Max.", "Av.", "Min.", "Fluctuation", ""},
                      {14, 20, 16, 18, 18, 18, 22, 12}, Align::kRight);
  t.caption = "Calculated Results of each stroke";
  t.align.at(1) = t.align.at(2) = t.align.at(7) = Align::kLeft;
  for (int k = 1; k <= 3; ++k) {
    const ChosenStrokeTexts c = ChosenStrokeResultTexts(r, k);
    const std::string no = "No." + std::to_string(k);
    t.rows.push_back(
        {no, "Speed", "", c.txtSpeedMax, c.txtSpeedAv, c.txtSpeedMin, c.txtdSpeed, "m/s"});
    for (std::size_t ch = 0; ch < 2; ++ch) {
      t.rows.push_back({"", ch == 0 ? "Torque" : "", kWheel.at(ch), c.txtTqMax.at(ch),
                        c.txtTqAv.at(ch), c.txtTqMin.at(ch), c.txtdTq.at(ch), "Nm"});
    }
    for (std::size_t ch = 0; ch < 2; ++ch) {
      t.rows.push_back({"", ch == 0 ? "Power" : "", kWheel.at(ch), c.txtPowerMax.at(ch),
                        c.txtPowerAv.at(ch), c.txtPowerMin.at(ch), c.txtdPower.at(ch), "W"});
    }
  }
  return t;
}

TextTable RangeTable(const StrokeResults& r) {
  TextTable t =
      Table({"Stroke", "", "Max.", "Min.", "Def.", ""}, {14, 36, 18, 18, 18, 14}, Align::kRight);
  t.align.at(1) = t.align.at(5) = Align::kLeft;
  for (int k = 1; k <= 3; ++k) {
    const ChosenStrokeTexts c = ChosenStrokeResultTexts(r, k);
    const std::string no = "No." + std::to_string(k);
    t.rows.push_back({no, "Turn Angle", c.txtAlphaMax, c.txtAlphaMin, c.txtAlphaDef, "deg"});
    t.rows.push_back({"", "Angular Speed", c.txtBetaMax, c.txtBetaMin, c.txtBetaDef, "deg/s"});
    t.rows.push_back({"", "Movement to Side", c.txtYMax, c.txtYMin, c.txtYDef, "mm"});
  }
  return t;
}

std::shared_ptr<RecordingFrame> NewFrame(const std::array<Rgb, 3>& colours) {
  auto f = std::make_shared<RecordingFrame>();
  f->frame.SetLegendColour(0, colours[0]);
  f->frame.SetLegendColour(1, colours[1]);
  return f;
}

}  // namespace

std::string ShownStem(const SummaryFacts& facts) {
  return facts.stem.empty() ? "(not saved)" : facts.stem;
}

std::string ConditionText(const MeasurementRecord& rec) {
  return "Timer Interval " + PlainForm(rec.SampInterval) + " msec, Data Number " +
         PlainForm(rec.DataNum) + " times, Sampling Time " + PlainForm(rec.MeasTime) + " sec";
}

void AppendMeasurementSection(const ReportSource& s, ReportDocument& doc) {
  const std::string stem = ShownStem(s.facts);
  Add(doc, stem, Heading{stem, kTitlePt}, true);
  Add(doc, stem, FactsTable(s));
  Add(doc, stem, MainTable(s.kin));
  Add(doc, stem, StrokeTable(s.strokes));

  std::array<std::shared_ptr<RecordingFrame>, kMainGraphCount + 1> frames;
  std::array<PlotFrame*, kMainGraphCount> main{};
  for (std::size_t g = 0; g < frames.size(); ++g) {
    frames.at(g) = NewFrame(s.GraphColor);
    if (g < main.size()) main.at(g) = &frames.at(g)->frame;
  }
  DrawMainGraphs(main, s.rec, s.series, s.kin, s.GraphColor);
  DrawStrokeGraph(frames.back()->frame, s.rec, s.series, s.kin, s.strokes, s.GraphColor);
  // Torque and speed across the page, the small graphs two by two, then the path (smaller,
  // so the results of the strokes follow it on the same page) beside the stroke graph.
  for (MainGraph g : {kTorqueGraph, kSpeedGraph, kDistanceGraph, kTurnGraph, kTurnRateGraph,
                      kPowerGraph, kPathGraph}) {
    const auto k = static_cast<std::size_t>(g);
    Graph graph{kForm1Frames.at(k), frames.at(k)};
    if (g == kPathGraph) graph.mmPerPixel = kSmallGraphMmPerPixel;
    Add(doc, stem, graph);
  }
  Add(doc, stem, Graph{kStrokeReportFrame, frames.back()});

  Add(doc, stem, ChosenTable(s.strokes));
  Add(doc, stem, RangeTable(s.strokes));
  if (s.pushes != nullptr) AppendPushSection(stem, *s.pushes, s.GraphColor, doc);
}

}  // namespace velquor
