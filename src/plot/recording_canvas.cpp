#include "plot/recording_canvas.h"

namespace velquor {

void CanvasState::Apply(const CanvasCommand& cmd) {
  if (const auto* s = std::get_if<ScaleCmd>(&cmd)) {
    scale = s->scale;
  } else if (const auto* w = std::get_if<PenWidthCmd>(&cmd)) {
    penWidth = w->pixels;
  } else if (const auto* f = std::get_if<FillStyleCmd>(&cmd)) {
    fillStyle = f->style;
  } else if (const auto* c = std::get_if<FillColourCmd>(&cmd)) {
    fillColour = c->colour;
  }
}

void RecordingCanvas::Record(const CanvasCommand& cmd) {
  current_.Apply(cmd);
  commands_.push_back(cmd);
}

void RecordingCanvas::SetScale(float left, float top, float width, float height) {
  Record(ScaleCmd{{left, top, width, height}});
}

void RecordingCanvas::Clear() {
  initial_ = current_;
  commands_.clear();  // keeps its capacity, so a redraw of the same size allocates nothing
}

void RecordingCanvas::Line(float x1, float y1, float x2, float y2, Rgb colour) {
  Record(LineCmd{x1, y1, x2, y2, colour});
}

void RecordingCanvas::SetPenWidth(int pixels) {
  Record(PenWidthCmd{pixels});
}

void RecordingCanvas::SetFillStyle(FillStyle style) {
  Record(FillStyleCmd{style});
}

void RecordingCanvas::SetFillColour(Rgb colour) {
  Record(FillColourCmd{colour});
}

void RecordingCanvas::Circle(float x, float y, float radius, Rgb colour) {
  Record(CircleCmd{x, y, radius, colour});
}

}  // namespace velquor
