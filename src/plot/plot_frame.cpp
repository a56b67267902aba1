#include "plot/plot_frame.h"

#include <utility>

#include "common/number_parse.h"

namespace velquor {

void PlotFrame::SetText(AxisText which, std::string text) {
  texts_.at(static_cast<std::size_t>(which)) = std::move(text);
  if (observer_.textChanged) observer_.textChanged(which);
}

void PlotFrame::SetTexts(std::string xmin, std::string xmax, std::string ymin, std::string ymax,
                         std::string xaxis, std::string yaxis) {
  SetText(AxisText::kXmin, std::move(xmin));
  SetText(AxisText::kXmax, std::move(xmax));
  SetText(AxisText::kYmin, std::move(ymin));
  SetText(AxisText::kYmax, std::move(ymax));
  SetText(AxisText::kXaxis, std::move(xaxis));
  SetText(AxisText::kYaxis, std::move(yaxis));
}

const std::string& PlotFrame::Text(AxisText which) const {
  return texts_.at(static_cast<std::size_t>(which));
}

double PlotFrame::Value(AxisText which) const {
  return Val(Text(which));
}

void PlotFrame::SetLegendColour(int ch, Rgb colour) {
  legend_.at(static_cast<std::size_t>(ch)) = colour;
  if (observer_.legendChanged) observer_.legendChanged(ch);
}

PlotScale PlotFrame::ScaleFromTextsAndClear() {
  const double xmin = Value(AxisText::kXmin);
  const double xmax = Value(AxisText::kXmax);
  const double ymin = Value(AxisText::kYmin);
  const double ymax = Value(AxisText::kYmax);
  const PlotScale scale{static_cast<float>(xmin), static_cast<float>(ymax),
                        static_cast<float>(xmax - xmin), static_cast<float>(ymin - ymax)};
  canvas_.SetScale(scale.left, scale.top, scale.width, scale.height);
  canvas_.Clear();
  return scale;
}

}  // namespace velquor
