// What the graph tests draw from: a record, its series and results filled by hand, and
// seven frames that record what is drawn into them.
#pragma once

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "analysis/series.h"
#include "measure/record.h"
#include "plot/main_graphs.h"
#include "plot/plot_frame.h"
#include "plot/recording_canvas.h"

namespace velquor::testing {

inline constexpr Rgb kCh0 = MakeRgb(255, 0, 0);
inline constexpr Rgb kCh1 = MakeRgb(0, 0, 255);
inline constexpr Rgb kOther = MakeRgb(255, 0, 255);

struct GraphInputs {
  MeasurementRecord record;
  DerivedSeries series;
  KinematicsResults kin;
  StrokeResults strokes;
  std::array<Rgb, 3> colours = {kCh0, kCh1, kOther};
  std::array<RecordingFrame, kMainGraphCount> frames;

  // A record of n samples at 20 ms whose series rise with the sample index, so every
  // segment can be told apart.
  static std::unique_ptr<GraphInputs> Ramp(int n) {
    auto in = std::make_unique<GraphInputs>();
    in->record.SampInterval = 20;
    in->record.DataNum = static_cast<float>(n);
    in->record.MeasTime = 20.0 * n / 1000;
    for (int i = 0; i <= std::min(n, kMaxSamples); ++i) {
      for (int ch = 0; ch < 2; ++ch) {
        in->series.Torque(ch, i) = 0.5f * i + ch;
        in->series.Speed(ch, i) = 0.01f * i + ch;
        in->series.Distance(ch, i) = 0.002f * i + ch;
        in->series.Power(ch, i) = 0.25f * i - ch;
      }
      in->series.Alpha_deg(i) = 0.1 * i;
      in->series.Beta_deg(i) = -0.1f * i;
      in->series.x(i) = 0.003 * i;
      in->series.y(i) = 0.001f * i;
    }
    return in;
  }

  std::array<PlotFrame*, kMainGraphCount> FramePointers() {
    std::array<PlotFrame*, kMainGraphCount> p{};
    for (std::size_t g = 0; g < p.size(); ++g) p[g] = &frames[g].frame;
    return p;
  }
  void DrawAll() { DrawMainGraphs(FramePointers(), record, series, kin, colours); }
  const RecordingCanvas& Canvas(int g) { return frames.at(static_cast<std::size_t>(g)).canvas; }
  const std::string& Text(int g, AxisText t) {
    return frames.at(static_cast<std::size_t>(g)).frame.Text(t);
  }
};

inline std::vector<LineCmd> LinesIn(const RecordingCanvas& c, Rgb colour) {
  std::vector<LineCmd> out;
  for (const auto& cmd : c.commands()) {
    if (const auto* l = std::get_if<LineCmd>(&cmd); l != nullptr && l->colour == colour) {
      out.push_back(*l);
    }
  }
  return out;
}

// A one-word name per command, for comparing the order of what was drawn.
inline std::string KindOf(const CanvasCommand& cmd) {
  if (const auto* l = std::get_if<LineCmd>(&cmd)) {
    if (l->colour == kReferenceGrey) return "grey";
    if (l->colour == kMarkerGrey) return "marker";
    if (l->colour == kCh0) return "ch0";
    if (l->colour == kCh1) return "ch1";
    if (l->colour == kOther) return "other";
    return "line";
  }
  if (const auto* w = std::get_if<PenWidthCmd>(&cmd)) return "pen" + std::to_string(w->pixels);
  if (const auto* f = std::get_if<FillStyleCmd>(&cmd)) {
    return f->style == FillStyle::kSolid ? "solid" : "transparent";
  }
  if (std::holds_alternative<FillColourCmd>(cmd)) return "fillcolour";
  if (std::holds_alternative<CircleCmd>(cmd)) return "circle";
  return "scale";
}

inline std::vector<std::string> KindsOf(const RecordingCanvas& c) {
  std::vector<std::string> out;
  for (const auto& cmd : c.commands()) out.push_back(KindOf(cmd));
  return out;
}

}  // namespace velquor::testing
