#include "plot/ui/push_curve_png.h"

#include "plot/push_graphs.h"
#include "plot/ui/frame_picture.h"
#include "plot/ui/reanalysis_pngs.h"

namespace velquor {

Status ExportPushCurvePng(const std::string& dir, const std::string& stem, const PushAnalysis& a,
                          const std::array<Rgb, 3>& GraphColor, double scale) {
  RecordingFrame f;
  f.frame.SetLegendColour(0, GraphColor[0]);
  f.frame.SetLegendColour(1, GraphColor[1]);
  DrawPushCurveGraph(f.frame, a, GraphColor);
  return ExportFramePng(f.frame, f.canvas, kPushCurveFrame,
                        PicturePath(dir, stem, kPushCurvePictureSuffix), scale);
}

}  // namespace velquor
