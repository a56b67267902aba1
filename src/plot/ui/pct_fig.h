// The plotting area on screen: a canvas that keeps what was drawn since the last clear and
// paints it afresh whenever Qt asks, so a graph drawn while its screen was hidden shows when
// the screen is shown, and stays sharp at any size or pixel density.
#pragma once

#include <QWidget>

#include "plot/canvas.h"
#include "plot/recording_canvas.h"

namespace velquor {

class PctFig : public QWidget, public Canvas {
 public:
  explicit PctFig(QWidget* parent = nullptr);

  void SetScale(float left, float top, float width, float height) override;
  void Clear() override;
  void Line(float x1, float y1, float x2, float y2, Rgb colour) override;
  void SetPenWidth(int pixels) override;
  void SetFillStyle(FillStyle style) override;
  void SetFillColour(Rgb colour) override;
  void Circle(float x, float y, float radius, Rgb colour) override;

  const RecordingCanvas& recording() const { return recording_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  // Asks for one repaint however many commands arrive before it happens.
  void Changed();

  RecordingCanvas recording_;
  bool repaintAsked_ = false;
};

}  // namespace velquor
