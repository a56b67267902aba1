// One plot frame: the six texts around a plotting area (axis ends and titles), its two
// legend colours, and the canvas of the plotting area. The axis-end texts are the single
// source of the scale, so the plot always agrees with the numbers shown.
#pragma once

#include <array>
#include <functional>
#include <string>
#include <utility>

#include "common/colors.h"
#include "plot/canvas.h"
#include "plot/plot_scale.h"
#include "plot/recording_canvas.h"

namespace velquor {

// The texts of a frame, in the order of their boxes.
enum class AxisText { kXmin, kXmax, kYmin, kYmax, kXaxis, kYaxis };
inline constexpr int kAxisTextCount = 6;
// The box names, which are also the objectNames of the boxes on screen.
inline constexpr std::array<const char*, kAxisTextCount> kAxisTextNames = {
    "Xmin", "Xmax", "Ymin", "Ymax", "Xaxis", "Yaxis"};

class PlotFrame {
 public:
  // Told which text or legend colour changed, so a screen can copy it into its control.
  struct Observer {
    std::function<void(AxisText)> textChanged;
    std::function<void(int ch)> legendChanged;
  };

  // The canvas must outlive the frame.
  explicit PlotFrame(Canvas& canvas) : canvas_(canvas) {}
  PlotFrame(const PlotFrame&) = delete;
  PlotFrame& operator=(const PlotFrame&) = delete;

  Canvas& canvas() { return canvas_; }

  void SetText(AxisText which, std::string text);
  // All six texts, in the order of AxisText: both ends of each axis, then the two titles.
  void SetTexts(std::string xmin, std::string xmax, std::string ymin, std::string ymax,
                std::string xaxis, std::string yaxis);
  const std::string& Text(AxisText which) const;
  // The number a text reads as, by the leading-number rule.
  double Value(AxisText which) const;

  // Legend squares: channel 0 and 1.
  void SetLegendColour(int ch, Rgb colour);
  Rgb LegendColour(int ch) const { return legend_.at(static_cast<std::size_t>(ch)); }

  // Sets the canvas scale from the four axis-end texts read back as numbers
  // (width = Xmax - Xmin, height = Ymin - Ymax, left = Xmin, top = Ymax), clears the
  // canvas and gives the scale, which the caller checks with Usable() before drawing.
  PlotScale ScaleFromTextsAndClear();

  void SetObserver(Observer observer) { observer_ = std::move(observer); }

 private:
  Canvas& canvas_;
  std::array<std::string, kAxisTextCount> texts_ = {"Xmin", "Xmax",  "Ymin",
                                                    "Ymax", "Xaxis", "Yaxis"};
  std::array<Rgb, 2> legend_{};
  Observer observer_;
};

// A frame with its own recording canvas, for drawing without a screen (the command-line
// tool, picture export, tests).
struct RecordingFrame {
  RecordingCanvas canvas;
  PlotFrame frame{canvas};
};

}  // namespace velquor
