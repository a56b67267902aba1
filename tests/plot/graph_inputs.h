// What the graph tests draw from: a record, its series and results filled by hand, seven
// frames that record what is drawn into them, and readers of the recorded commands.
#pragma once

#include <algorithm>
#include <array>
#include <memory>
#include <string>
#include <vector>

#include "analysis/series.h"
#include "plot/main_graphs.h"
#include "plot/plot_frame.h"
#include "plot/recording_canvas.h"
#include "record/record.h"

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
    for (int i = 0; i <= n; ++i) {
      for (int ch = 0; ch < 2; ++ch) {
        in->series.Torque(ch, i) = 0.5f * i + ch;
        in->series.Speed(ch, i) = 0.01f * i + ch;
      }
      in->series.Alpha_deg(i) = 0.1 * i;
      in->series.Beta_deg(i) = -0.1f * i;
      in->series.x(i) = 0.003 * i;
      in->series.y(i) = 0.001f * i;
    }
    return in;
  }

  void DrawAll() {
    std::array<PlotFrame*, kMainGraphCount> p{};
    for (std::size_t g = 0; g < p.size(); ++g) p[g] = &frames[g].frame;
    DrawMainGraphs(p, record, series, kin, colours);
  }
  RecordingFrame& At(int g) { return frames.at(static_cast<std::size_t>(g)); }
};

template <class Cmd>
std::vector<Cmd> CommandsOf(const RecordingCanvas& c) {
  std::vector<Cmd> out;
  for (const auto& cmd : c.commands()) {
    if (const auto* k = std::get_if<Cmd>(&cmd)) out.push_back(*k);
  }
  return out;
}

// The frame's first `count` texts, from Xmin on, joined by "|".
inline std::string Texts(const PlotFrame& f, int count = kAxisTextCount) {
  std::string s;
  for (int t = 0; t < count; ++t) s += (t == 0 ? "" : "|") + f.Text(static_cast<AxisText>(t));
  return s;
}

inline std::vector<LineCmd> LinesIn(const RecordingCanvas& c, Rgb colour) {
  auto lines = CommandsOf<LineCmd>(c);
  std::erase_if(lines, [colour](const LineCmd& l) { return l.colour != colour; });
  return lines;
}

}  // namespace velquor::testing
