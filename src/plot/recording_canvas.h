// A canvas that keeps the commands drawn since the last clear, with the settings that were
// in force at that clear, so a screen or an image can replay them at any size.
#pragma once

#include <variant>
#include <vector>

#include "plot/canvas.h"
#include "plot/plot_scale.h"

namespace velquor {

struct ScaleCmd {
  PlotScale scale;
  bool operator==(const ScaleCmd&) const = default;
};
struct LineCmd {
  float x1, y1, x2, y2;
  Rgb colour;
  bool operator==(const LineCmd&) const = default;
};
struct PenWidthCmd {
  int pixels;
  bool operator==(const PenWidthCmd&) const = default;
};
struct FillStyleCmd {
  FillStyle style;
  bool operator==(const FillStyleCmd&) const = default;
};
struct FillColourCmd {
  Rgb colour;
  bool operator==(const FillColourCmd&) const = default;
};
struct CircleCmd {
  float x, y, radius;
  Rgb colour;
  bool operator==(const CircleCmd&) const = default;
};

using CanvasCommand =
    std::variant<ScaleCmd, LineCmd, PenWidthCmd, FillStyleCmd, FillColourCmd, CircleCmd>;

// The settings a replay starts from, and that a command list leaves behind.
struct CanvasState {
  PlotScale scale;
  int penWidth = 1;
  FillStyle fillStyle = FillStyle::kTransparent;
  Rgb fillColour = MakeRgb(0, 0, 0);

  void Apply(const CanvasCommand& cmd);
  bool operator==(const CanvasState&) const = default;
};

class RecordingCanvas : public Canvas {
 public:
  void SetScale(float left, float top, float width, float height) override;
  void Clear() override;
  void Line(float x1, float y1, float x2, float y2, Rgb colour) override;
  void SetPenWidth(int pixels) override;
  void SetFillStyle(FillStyle style) override;
  void SetFillColour(Rgb colour) override;
  void Circle(float x, float y, float radius, Rgb colour) override;

  // Settings in force when the list below began (at the last clear, or at the start).
  const CanvasState& initial() const { return initial_; }
  // Settings in force now.
  const CanvasState& current() const { return current_; }
  // Every command since the last clear, in the order given.
  const std::vector<CanvasCommand>& commands() const { return commands_; }

 private:
  void Record(const CanvasCommand& cmd);

  CanvasState initial_;
  CanvasState current_;
  std::vector<CanvasCommand> commands_;
};

}  // namespace velquor
