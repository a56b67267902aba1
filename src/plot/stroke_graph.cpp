#include "plot/stroke_graph.h"

#include <algorithm>

#include "common/number_text.h"
#include "plot/nice_range.h"
#include "plot/time_trace.h"

namespace velquor {

void DrawStrokeGraph(PlotFrame& frame, const MeasurementRecord& record, const DerivedSeries& series,
                     const KinematicsResults& kin, const StrokeResults& strokes,
                     const std::array<Rgb, 3>& GraphColor) {
  frame.SetTexts(
      "0", PlainForm(record.MeasTime), PlainForm(TenDown(std::min(kin.TqMin[0], kin.TqMin[1]))),
      PlainForm(TenUp(std::max(kin.TqMax[0], kin.TqMax[1]))), "Time (sec)", "Torque (Nm)");
  if (!frame.ScaleFromTextsAndClear().Usable()) return;

  Canvas& c = frame.canvas();
  c.Line(0.0f, 0.0f, static_cast<float>(record.MeasTime), 0.0f, kReferenceGrey);
  const auto bottom = static_cast<float>(frame.Value(AxisText::kYmin));
  const auto top = static_cast<float>(frame.Value(AxisText::kYmax));
  for (int k = 1; k <= 4; ++k) {
    const float t = strokes.StrokeTime.at(static_cast<std::size_t>(k));
    c.Line(t, bottom, t, top, kMarkerGrey);
  }
  DrawTimeTraces(c, 2, LastSample(record.DataNum), record.SampInterval,
                 Trace{[&series](int i) { return series.Torque(0, i); }, GraphColor[0]},
                 Trace{[&series](int i) { return series.Torque(1, i); }, GraphColor[1]});
}

}  // namespace velquor
