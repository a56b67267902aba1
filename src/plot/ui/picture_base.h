// A plot frame on screen: the plotting area, the six axis boxes and the legend, placed at
// the frame's twip layout and stretched with the frame when its screen is enlarged.
#pragma once

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QWidget>
#include <array>
#include <string>

#include "common/result.h"
#include "plot/frame_geometry.h"
#include "plot/plot_frame.h"
#include "plot/ui/pct_fig.h"

namespace velquor {

// Children by objectName: pctFig; Xmin, Xmax, Ymin, Ymax, Xaxis, Yaxis (QLineEdit);
// Shape_ch0 and Shape_ch1 (legend squares), Label2 "ch0" and Label1 "ch1".
// Whatever a graph routine writes into frame() appears in the boxes at once; a box the
// operator edits changes nothing and is overwritten at the next drawing.
class PictureBase : public QWidget {
 public:
  explicit PictureBase(const FrameGeometry& geometry, QWidget* parent = nullptr);

  PlotFrame& frame() { return frame_; }
  const PlotFrame& frame() const { return frame_; }
  PctFig* pctFig() const { return fig_; }
  QLineEdit* box(AxisText which) const { return boxes_.at(static_cast<std::size_t>(which)); }
  QFrame* legendShape(int ch) const { return shapes_.at(static_cast<std::size_t>(ch)); }
  const FrameGeometry& frameGeometry() const { return geometry_; }

  // Size in pixels at design size (15 twips per pixel).
  QSize designSize() const;
  // Puts the frame at its place on its screen, with the screen stretched by sx and sy.
  void PlaceOnScreen(double sx, double sy);
  // The frame as a picture file (see ExportFramePng).
  Status ExportPng(const std::string& path, double scale = 2.0) const;

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  void ShowText(AxisText which);
  void ShowLegend(int ch);
  void LayOut();

  FrameGeometry geometry_;
  PctFig* fig_;
  PlotFrame frame_;
  std::array<QLineEdit*, kAxisTextCount> boxes_{};
  std::array<QFrame*, 2> shapes_{};
  std::array<QLabel*, 2> labels_{};
  double fontPixels_ = 11.0;
};

}  // namespace velquor
