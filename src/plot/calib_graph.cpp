#include "plot/calib_graph.h"

#include <algorithm>

namespace velquor {
namespace {

void FilledCircle(Canvas& c, double volt, double torque, Rgb colour) {
  c.SetFillStyle(FillStyle::kSolid);
  c.SetFillColour(colour);
  c.Circle(static_cast<float>(volt), static_cast<float>(torque), kCalibPointRadius, colour);
  c.SetFillStyle(FillStyle::kTransparent);
}

}  // namespace

void MarkCalibPoint(Canvas& canvas, double volt, double torque, Rgb colour) {
  FilledCircle(canvas, volt, torque, colour);
}

void EraseCalibPoint(Canvas& canvas, double volt, double torque) {
  FilledCircle(canvas, volt, torque, kWhite);
}

void DrawCalibGraph(PlotFrame& frame, const Calibration& cal,
                    const std::array<Rgb, 3>& GraphColor) {
  frame.SetLegendColour(0, GraphColor[0]);
  frame.SetLegendColour(1, GraphColor[1]);
  frame.SetTexts("-2", "2", "-35", "35", "Volt (V)", "Torque (Nm)");
  if (!frame.ScaleFromTextsAndClear().Usable()) return;

  Canvas& c = frame.canvas();
  c.Line(-2.0f, 0.0f, 2.0f, 0.0f, kReferenceGrey);
  c.Line(0.0f, -35.0f, 0.0f, 35.0f, kReferenceGrey);
  c.SetPenWidth(1);
  for (int ch = 0; ch < 2; ++ch) {
    const auto chi = static_cast<std::size_t>(ch);
    // The point tables hold 13 points; a larger count never reads past them.
    const int count = std::clamp(cal.CalCount.at(chi), 0, kCalRows);
    for (int k = 1; k <= count; ++k) {
      const auto ki = static_cast<std::size_t>(k);
      MarkCalibPoint(c, cal.CalVolt.at(chi).at(ki), cal.CalTorque.at(chi).at(ki),
                     GraphColor.at(chi));
    }
  }
  const double left = frame.Value(AxisText::kXmin);
  const double right = frame.Value(AxisText::kXmax);
  for (int ch = 0; ch < 2; ++ch) {
    const auto chi = static_cast<std::size_t>(ch);
    const double y1 = cal.Ka0.at(chi) + cal.Ka1.at(chi) * left;
    const double y2 = cal.Ka0.at(chi) + cal.Ka1.at(chi) * right;
    c.Line(static_cast<float>(left), static_cast<float>(y1), static_cast<float>(right),
           static_cast<float>(y2), GraphColor.at(chi));
  }
}

}  // namespace velquor
