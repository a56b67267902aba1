#include "plot/ui/reanalysis_pngs.h"

#include "plot/frame_geometry.h"
#include "plot/main_graphs.h"
#include "plot/plot_frame.h"
#include "plot/stroke_graph.h"
#include "plot/ui/frame_picture.h"

namespace velquor {

std::string PicturePath(const std::string& dir, const std::string& stem, std::string_view suffix) {
  std::string path = dir;
  if (!path.empty() && path.back() != '\\' && path.back() != '/') path += '\\';
  path += stem;
  path += suffix;
  return path;
}

Status ExportReanalysisPngs(const std::string& dir, const std::string& stem,
                            const MeasurementRecord& record, const DerivedSeries& series,
                            const KinematicsResults& kin, const StrokeResults& strokes,
                            const std::array<Rgb, 3>& GraphColor, double scale) {
  std::array<RecordingFrame, kMainGraphCount + 1> frames;
  std::array<PlotFrame*, kMainGraphCount> main{};
  for (std::size_t g = 0; g < frames.size(); ++g) {
    frames[g].frame.SetLegendColour(0, GraphColor[0]);
    frames[g].frame.SetLegendColour(1, GraphColor[1]);
    if (g < main.size()) main[g] = &frames[g].frame;
  }
  DrawMainGraphs(main, record, series, kin, GraphColor);
  RecordingFrame& strokeFrame = frames.back();
  DrawStrokeGraph(strokeFrame.frame, record, series, kin, strokes, GraphColor);

  for (std::size_t g = 0; g < frames.size(); ++g) {
    const FrameGeometry& geometry = g < main.size() ? kForm1Frames.at(g) : kForm7Frame;
    const Status written =
        ExportFramePng(frames[g].frame, frames[g].canvas, geometry,
                       PicturePath(dir, stem, kGraphPictureSuffixes.at(g)), scale);
    if (!written) return written;
  }
  return Status::Ok();
}

}  // namespace velquor
