#include "plot/push_graphs.h"

#include <algorithm>
#include <cmath>

#include "common/number_text.h"
#include "plot/nice_range.h"
#include "plot/time_trace.h"

namespace velquor {
namespace {

constexpr int kBandStrokesPerStep = 6;  // vertical strokes per 1 % step of the band
constexpr int kTrialColumns = 1800;     // torque columns of a trial's graph, min to max each

float RunTime(std::int64_t i, double interval_ms) {
  return static_cast<float>(static_cast<double>(i) * interval_ms / 1000);
}

// The band value at fractional point k (0..100) by linear interpolation between points.
double At(const std::array<double, kCurvePoints>& v, double k) {
  const auto i = static_cast<std::size_t>(std::min(k, 99.0));
  const double f = k - static_cast<double>(i);
  return v.at(i) + (v.at(i + 1) - v.at(i)) * f;
}

// Per wheel a track of bars along the bottom: each push from onset to end thick in the wheel
// colour, partial runs thin in the wheel colour, rejected runs thick in grey; a filled circle
// at each onset and an open one at each end, on the threshold.
void DrawRunTracks(Canvas& c, const PushAnalysis& a, double bottom, double range, float threshold,
                   float end, double interval_ms, const std::array<Rgb, 3>& GraphColor) {
  const float radius = end / 250;
  for (std::size_t w = 0; w < a.wheels.size(); ++w) {
    const WheelPushes& wheel = a.wheels[w];
    const Rgb colour = GraphColor.at(w);
    const auto track = static_cast<float>(bottom + range * (0.04 + 0.05 * static_cast<double>(w)));
    for (const PushRun& run : wheel.runs) {
      if (run.kind == PushRunKind::kPush) continue;  // drawn from the push's own onset and end
      const bool partial = run.kind == PushRunKind::kPartial;
      c.SetPenWidth(partial ? 1 : 4);
      c.Line(RunTime(run.first, interval_ms), track, RunTime(run.last, interval_ms), track,
             partial ? colour : kMarkerGrey);
    }
    for (const Push& p : wheel.pushes) {
      const auto on = static_cast<float>(*p.Figure(PushFigure::kOn));
      const auto off = static_cast<float>(*p.Figure(PushFigure::kOff));
      c.SetPenWidth(4);
      c.Line(on, track, off, track, colour);
      c.SetPenWidth(1);
      c.SetFillColour(colour);
      c.SetFillStyle(FillStyle::kSolid);
      c.Circle(on, threshold, radius, colour);
      c.SetFillStyle(FillStyle::kTransparent);
      c.Circle(off, threshold, radius, colour);
    }
  }
}

}  // namespace

Rgb Tint(Rgb colour, double part) {
  auto mix = [part](int c) { return static_cast<int>(std::lround(c + (255 - c) * part)); };
  return MakeRgb(mix(RedOf(colour)), mix(GreenOf(colour)), mix(BlueOf(colour)));
}

void DrawPushCurveGraph(PlotFrame& frame, const PushAnalysis& a,
                        const std::array<Rgb, 3>& GraphColor) {
  double low = 0, high = 0;
  for (const WheelPushes& w : a.wheels) {
    if (!w.curve) continue;
    for (std::size_t k = 0; k < kCurvePoints; ++k) {
      const double sd = w.curve->sd ? w.curve->sd->at(k) : 0.0;
      low = std::min(low, w.curve->mean.at(k) - sd);
      high = std::max(high, w.curve->mean.at(k) + sd);
    }
  }
  frame.SetTexts("0", "100", PlainForm(TenDown(low)), PlainForm(TenUp(high)), "Push time (%)",
                 "Torque (Nm)");
  if (!frame.ScaleFromTextsAndClear().Usable()) return;

  Canvas& c = frame.canvas();
  c.SetPenWidth(1);
  // The strokes of the two bands take turns, so where they overlap both stay visible.
  for (int s = 0; s <= 100 * kBandStrokesPerStep; ++s) {
    for (std::size_t w = 0; w < a.wheels.size(); ++w) {
      const auto& curve = a.wheels[w].curve;
      if (!curve || !curve->sd) continue;
      const double k = std::min(100.0, (s + 0.5 * static_cast<double>(w)) / kBandStrokesPerStep);
      const double m = At(curve->mean, k);
      const double sd = At(*curve->sd, k);
      c.Line(static_cast<float>(k), static_cast<float>(m - sd), static_cast<float>(k),
             static_cast<float>(m + sd), Tint(GraphColor.at(w), 0.75));
    }
  }
  for (std::size_t w = 0; w < a.wheels.size(); ++w) {  // the band edges
    const auto& curve = a.wheels[w].curve;
    if (!curve || !curve->sd) continue;
    for (std::size_t k = 1; k < kCurvePoints; ++k) {
      for (double side : {-1.0, 1.0}) {
        c.Line(static_cast<float>(k - 1),
               static_cast<float>(curve->mean.at(k - 1) + side * curve->sd->at(k - 1)),
               static_cast<float>(k),
               static_cast<float>(curve->mean.at(k) + side * curve->sd->at(k)),
               Tint(GraphColor.at(w), 0.4));
      }
    }
  }
  c.Line(0.0f, 0.0f, 100.0f, 0.0f, kReferenceGrey);
  c.SetPenWidth(2);
  for (std::size_t w = 0; w < a.wheels.size(); ++w) {
    const auto& curve = a.wheels[w].curve;
    if (!curve) continue;
    for (std::size_t k = 1; k < kCurvePoints; ++k) {
      c.Line(static_cast<float>(k - 1), static_cast<float>(curve->mean.at(k - 1)),
             static_cast<float>(k), static_cast<float>(curve->mean.at(k)), GraphColor.at(w));
    }
  }
  c.SetPenWidth(1);
}

void DrawPushTimeGraph(PlotFrame& frame, const MeasurementRecord& record,
                       const DerivedSeries& series, const KinematicsResults& kin,
                       const PushAnalysis& a, const std::array<Rgb, 3>& GraphColor) {
  const double bottom = TenDown(std::min(kin.TqMin[0], kin.TqMin[1]));
  frame.SetTexts("0", PlainForm(record.MeasTime), PlainForm(bottom),
                 PlainForm(TenUp(std::max(kin.TqMax[0], kin.TqMax[1]))), "Time (sec)",
                 "Torque (Nm)");
  if (!frame.ScaleFromTextsAndClear().Usable()) return;

  Canvas& c = frame.canvas();
  const double range = frame.Value(AxisText::kYmax) - frame.Value(AxisText::kYmin);
  const auto end = static_cast<float>(record.MeasTime);
  const auto threshold = static_cast<float>(a.parameters.threshold);
  c.SetPenWidth(1);
  c.Line(0.0f, 0.0f, end, 0.0f, kReferenceGrey);
  c.Line(0.0f, threshold, end, threshold, kMarkerGrey);
  DrawTimeTraces(c, 2, LastSample(record.DataNum), record.SampInterval,
                 Trace{[&series](int i) { return series.Torque(0, i); }, GraphColor[0]},
                 Trace{[&series](int i) { return series.Torque(1, i); }, GraphColor[1]});

  DrawRunTracks(c, a, bottom, range, threshold, end, record.SampInterval, GraphColor);
  c.SetPenWidth(1);
}

}  // namespace velquor

namespace velquor {

void DrawTrialTorqueGraph(PlotFrame& frame, const TrialSeries& s, const PushAnalysis& a,
                          const std::vector<double>& marker_times,
                          const std::array<Rgb, 3>& GraphColor) {
  const std::int64_t n = s.Samples();
  double low = 0, high = 0;
  for (int w = 0; w < 2; ++w) {
    for (std::int64_t i = 1; i <= n; ++i) {
      low = std::min(low, s.Torque(w, i));
      high = std::max(high, s.Torque(w, i));
    }
  }
  const double seconds = static_cast<double>(n) * s.Dt();
  const double bottom = TenDown(low);
  frame.SetTexts("0", PlainForm(seconds), PlainForm(bottom), PlainForm(TenUp(high)), "Time (sec)",
                 "Torque (Nm)");
  if (n < 1 || !frame.ScaleFromTextsAndClear().Usable()) return;
  Canvas& c = frame.canvas();
  const double range = frame.Value(AxisText::kYmax) - frame.Value(AxisText::kYmin);
  const auto end = static_cast<float>(seconds);
  const auto threshold = static_cast<float>(a.parameters.threshold);
  c.SetPenWidth(1);
  c.Line(0.0f, 0.0f, end, 0.0f, kReferenceGrey);
  c.Line(0.0f, threshold, end, threshold, kMarkerGrey);
  // Each column spans its samples from the least torque to the largest, so no push is lost
  // however long the trial.
  const std::int64_t per = std::max<std::int64_t>(1, (n + kTrialColumns - 1) / kTrialColumns);
  for (int w = 0; w < 2; ++w) {
    for (std::int64_t first = 1; first <= n; first += per) {
      const std::int64_t last = std::min(n, first + per - 1);
      double lo = s.Torque(w, first), hi = lo;
      for (std::int64_t i = first + 1; i <= last; ++i) {
        lo = std::min(lo, s.Torque(w, i));
        hi = std::max(hi, s.Torque(w, i));
      }
      const Rgb colour = GraphColor.at(static_cast<std::size_t>(w));
      if (per == 1) {  // a short trial: sample to sample
        if (first > 1) {
          c.Line(RunTime(first - 1, s.IntervalMs()), static_cast<float>(s.Torque(w, first - 1)),
                 RunTime(first, s.IntervalMs()), static_cast<float>(lo), colour);
        }
        continue;
      }
      const float t = RunTime(first, s.IntervalMs());
      c.Line(t, static_cast<float>(lo), t, static_cast<float>(hi), colour);
    }
  }
  for (const double m : marker_times) {
    c.Line(static_cast<float>(m), static_cast<float>(bottom), static_cast<float>(m),
           static_cast<float>(frame.Value(AxisText::kYmax)), kMarkerGrey);
  }
  DrawRunTracks(c, a, bottom, range, threshold, end, s.IntervalMs(), GraphColor);
  c.SetPenWidth(1);
}

}  // namespace velquor
