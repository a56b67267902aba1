#include "plot/main_graphs.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "common/number_text.h"
#include "plot/nice_range.h"
#include "plot/time_trace.h"
#include "plot/window_means.h"

namespace velquor {
namespace {

constexpr int kTracePen = 3;
constexpr int kFirstStep = 2;
// Sample 1 of the speeds has no step before it, so the speed traces begin one step later.
constexpr int kFirstSpeedStep = 3;
// Bottom of the speed axis whenever the chair rolled backwards at all.
constexpr const char* kBackwardSpeedFloor = "-0.2";

std::string Num(double v) {
  return PlainForm(v);
}

// Scale from the texts, clear, and the grey time zero line; false when the scale cannot
// place anything, in which case the area stays empty.
bool ScaleWithZeroLine(PlotFrame& f, double MeasTime) {
  if (!f.ScaleFromTextsAndClear().Usable()) return false;
  f.canvas().Line(0.0f, 0.0f, static_cast<float>(MeasTime), 0.0f, kReferenceGrey);
  return true;
}

// A time graph of the two wheels: ends from the given texts, traces of both channels.
template <class Value0, class Value1>
void DrawWheelGraph(PlotFrame& f, const MeasurementRecord& rec, const std::string& ymin,
                    const std::string& ymax, const char* yaxis, int first, const Trace<Value0>& ch0,
                    const Trace<Value1>& ch1) {
  f.SetTexts("0", Num(rec.MeasTime), ymin, ymax, "Time (sec)", yaxis);
  if (!ScaleWithZeroLine(f, rec.MeasTime)) return;
  f.canvas().SetPenWidth(kTracePen);
  DrawTimeTraces(f.canvas(), first, LastSample(rec.DataNum), rec.SampInterval, ch0, ch1);
  f.canvas().SetPenWidth(1);
}

void DrawTorque(PlotFrame& f, const MeasurementRecord& rec, const DerivedSeries& s,
                const KinematicsResults& kin, const std::array<Rgb, 3>& colour) {
  DrawWheelGraph(f, rec, Num(TenDown(std::min(kin.TqMin[0], kin.TqMin[1]))),
                 Num(TenUp(std::max(kin.TqMax[0], kin.TqMax[1]))), "Torque (Nm)", kFirstStep,
                 Trace{[&s](int i) { return s.Torque(0, i); }, colour[0]},
                 Trace{[&s](int i) { return s.Torque(1, i); }, colour[1]});
}

// The speed axis: the bottom end written, read back, and replaced when it reads below zero.
void SpeedTexts(PlotFrame& f, const MeasurementRecord& rec, double min, double max,
                const std::string& yaxis) {
  f.SetText(AxisText::kXmin, "0");
  f.SetText(AxisText::kXmax, Num(rec.MeasTime));
  f.SetText(AxisText::kYmin, Num(UnitDown(min)));
  if (f.Value(AxisText::kYmin) < 0) f.SetText(AxisText::kYmin, kBackwardSpeedFloor);
  f.SetText(AxisText::kYmax, Num(UnitUp(max)));
  f.SetText(AxisText::kXaxis, "Time (sec)");
  f.SetText(AxisText::kYaxis, yaxis);
}

// Both wheels' window means at once: the smallest and largest of either.
template <class Mean0, class Mean1>
MeanExtremes BothExtremes(const MeanWindow& w, const Trace<Mean0>& ch0, const Trace<Mean1>& ch1) {
  const MeanExtremes e0 = ExtremesOf(w, ch0.value);
  const MeanExtremes e1 = ExtremesOf(w, ch1.value);
  return {std::min(e0.min, e1.min), std::max(e0.max, e1.max)};
}

// The traces of window means over the scale the frame's texts give.
template <class... Means>
void DrawMeans(PlotFrame& f, const MeasurementRecord& rec, const MeanWindow& w,
               const Trace<Means>&... traces) {
  if (!ScaleWithZeroLine(f, rec.MeasTime)) return;
  f.canvas().SetPenWidth(kTracePen);
  DrawMeanTraces(f.canvas(), w, traces...);
  f.canvas().SetPenWidth(1);
}

void DrawSpeed(PlotFrame& f, const MeasurementRecord& rec, const DerivedSeries& s,
               const KinematicsResults& kin, const std::array<Rgb, 3>& colour) {
  const MeanWindow w = MeanWindowOf(rec.SampInterval, LastSample(rec.DataNum));
  if (w.Drawn()) {
    const Trace ch0{[&](int a) { return SpeedMean(s, 0, w, a); }, colour[0]};
    const Trace ch1{[&](int a) { return SpeedMean(s, 1, w, a); }, colour[1]};
    const MeanExtremes e = BothExtremes(w, ch0, ch1);
    SpeedTexts(f, rec, e.min, e.max, "Speed (m/s), " + w.Title());
    DrawMeans(f, rec, w, ch0, ch1);
    return;
  }
  SpeedTexts(f, rec, std::min(kin.SpeedMin[0], kin.SpeedMin[1]),
             std::max(kin.SpeedMax[0], kin.SpeedMax[1]), "Speed (m/s)");
  if (!ScaleWithZeroLine(f, rec.MeasTime)) return;
  f.canvas().SetPenWidth(kTracePen);
  DrawTimeTraces(f.canvas(), kFirstSpeedStep, LastSample(rec.DataNum), rec.SampInterval,
                 Trace{[&s](int i) { return s.Speed(0, i); }, colour[0]},
                 Trace{[&s](int i) { return s.Speed(1, i); }, colour[1]});
  f.canvas().SetPenWidth(1);
}

void DrawDistance(PlotFrame& f, const MeasurementRecord& rec, const DerivedSeries& s,
                  const KinematicsResults& kin, const std::array<Rgb, 3>& colour) {
  // Whole metres from the centre's distance, while the traces are the two wheels'.
  DrawWheelGraph(f, rec, Num(UnitBelow(kin.DistAvMin)), Num(UnitUp(kin.DistAvMax)), "Distance (m)",
                 kFirstStep, Trace{[&s](int i) { return s.Distance(0, i); }, colour[0]},
                 Trace{[&s](int i) { return s.Distance(1, i); }, colour[1]});
}

void DrawPower(PlotFrame& f, const MeasurementRecord& rec, const DerivedSeries& s,
               const KinematicsResults& kin, const std::array<Rgb, 3>& colour) {
  const MeanWindow w = MeanWindowOf(rec.SampInterval, LastSample(rec.DataNum));
  if (w.Drawn()) {
    const Trace ch0{[&](int a) { return PowerMean(s, 0, w, a); }, colour[0]};
    const Trace ch1{[&](int a) { return PowerMean(s, 1, w, a); }, colour[1]};
    const MeanExtremes e = BothExtremes(w, ch0, ch1);
    f.SetTexts("0", Num(rec.MeasTime), Num(TenDown(e.min)), Num(TenUp(e.max)), "Time (sec)",
               "Power (W), " + w.Title());
    DrawMeans(f, rec, w, ch0, ch1);
    return;
  }
  DrawWheelGraph(f, rec, Num(TenDown(std::min(kin.PowerMin[0], kin.PowerMin[1]))),
                 Num(TenUp(std::max(kin.PowerMax[0], kin.PowerMax[1]))), "Power (W)", kFirstStep,
                 Trace{[&s](int i) { return s.Power(0, i); }, colour[0]},
                 Trace{[&s](int i) { return s.Power(1, i); }, colour[1]});
}

// A time graph of one series on an axis centred on zero.
template <class Value>
void DrawTurnGraph(PlotFrame& f, const MeasurementRecord& rec, double max, double min,
                   const char* yaxis, const Trace<Value>& trace) {
  const double k = SymmetricTen(max, min);
  f.SetTexts("0", Num(rec.MeasTime), Num(-k), Num(k), "Time (sec)", yaxis);
  if (!ScaleWithZeroLine(f, rec.MeasTime)) return;
  f.canvas().SetPenWidth(kTracePen);
  DrawTimeTraces(f.canvas(), kFirstStep, LastSample(rec.DataNum), rec.SampInterval, trace);
  f.canvas().SetPenWidth(1);
}

// The path seen from above: forward position x upwards, sideways position y across with
// the left (positive y) at the left edge, so the horizontal axis runs from +k to -k.
void DrawPath(PlotFrame& f, const MeasurementRecord& rec, const DerivedSeries& s,
              const KinematicsResults& kin, Rgb colour) {
  const double k =
      std::abs(kin.yMax) > std::abs(kin.yMin) ? UnitUp(kin.yMax) : -IntPart(kin.yMin - 1.0);
  f.SetTexts(Num(k), Num(-k), Num(UnitDown(kin.xMin)), Num(UnitUp(kin.xMax)), "Distance (m)",
             "Distance (m)");
  if (!f.ScaleFromTextsAndClear().Usable()) return;
  Canvas& c = f.canvas();
  c.Line(static_cast<float>(f.Value(AxisText::kXmin)), 0.0f,
         static_cast<float>(f.Value(AxisText::kXmax)), 0.0f, kReferenceGrey);
  c.Line(0.0f, static_cast<float>(f.Value(AxisText::kYmin)), 0.0f,
         static_cast<float>(f.Value(AxisText::kYmax)), kReferenceGrey);
  c.SetPenWidth(kTracePen);
  const int last = LastSample(rec.DataNum);
  for (int i = kFirstStep; i <= last; ++i) {
    c.Line(s.y(i - 1), static_cast<float>(s.x(i - 1)), s.y(i), static_cast<float>(s.x(i)), colour);
  }
  c.SetPenWidth(1);
}

// The turning rate: per sample, or the means of its windows on an axis that holds them.
void DrawTurnRate(PlotFrame& f, const MeasurementRecord& rec, const DerivedSeries& s,
                  const KinematicsResults& kin, Rgb colour) {
  const MeanWindow w = MeanWindowOf(rec.SampInterval, LastSample(rec.DataNum));
  if (!w.Drawn()) {
    DrawTurnGraph(f, rec, kin.BetaMax, kin.BetaMin, "Turn (deg/s)",
                  Trace{[&s](int i) { return s.Beta_deg(i); }, colour});
    return;
  }
  const Trace rate{[&](int a) { return TurnRateMean(s, w, a); }, colour};
  const MeanExtremes e = ExtremesOf(w, rate.value);
  const double k = SymmetricTen(e.max, e.min);
  f.SetTexts("0", Num(rec.MeasTime), Num(-k), Num(k), "Time (sec)", "Turn (deg/s), " + w.Title());
  DrawMeans(f, rec, w, rate);
}

}  // namespace

void DrawMainGraphs(const std::array<PlotFrame*, kMainGraphCount>& frames,
                    const MeasurementRecord& record, const DerivedSeries& series,
                    const KinematicsResults& kin, const std::array<Rgb, 3>& GraphColor,
                    const StatusText& status) {
  if (status) status(kGraphDrawingText);
  for (int g = 0; g < kMainGraphCount; ++g) {
    PlotFrame* f = frames.at(static_cast<std::size_t>(g));
    if (f == nullptr) continue;
    switch (g) {
      case kTorqueGraph:
        DrawTorque(*f, record, series, kin, GraphColor);
        break;
      case kSpeedGraph:
        DrawSpeed(*f, record, series, kin, GraphColor);
        break;
      case kDistanceGraph:
        DrawDistance(*f, record, series, kin, GraphColor);
        break;
      case kTurnGraph:
        DrawTurnGraph(*f, record, kin.AlphaMax, kin.AlphaMin, "Turn (deg)",
                      Trace{[&series](int i) { return series.Alpha_deg(i); }, GraphColor[2]});
        break;
      case kTurnRateGraph:
        DrawTurnRate(*f, record, series, kin, GraphColor[2]);
        break;
      case kPathGraph:
        DrawPath(*f, record, series, kin, GraphColor[2]);
        break;
      case kPowerGraph:
        DrawPower(*f, record, series, kin, GraphColor);
        break;
      default:
        break;
    }
  }
  if (status) status(kDataSamplingText);
}

}  // namespace velquor
