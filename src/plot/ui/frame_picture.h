// A whole plot frame as a picture, made with QtGui alone so the headless tool can use it:
// plotting area, axis ends, titles and legend at the frame's design layout, and its PNG.
#pragma once

#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPointF>
#include <QString>
#include <string>

#include "common/result.h"
#include "plot/frame_geometry.h"
#include "plot/plot_frame.h"
#include "plot/recording_canvas.h"

namespace velquor {

// How each text sits in its box: the ends under the area centred, the ends beside it
// against the area, the titles centred.
Qt::Alignment AlignmentOf(AxisText which);

// The font at the given pixel size, made smaller until the text fits the width, but never
// below `smallest` nor 6 px.
QFont FitFont(QFont font, double pixels, const QString& text, double width, double smallest = 6);

// Paints the frame at `scale` device units per pixel of its design size with its top-left
// corner at `origin`: its outline, the plotting area on white, the texts and the legend.
// Lines and texts stay vectors on a device that keeps them (a PDF page). Without `legend`
// the ch0 and ch1 squares are left out. No text is set smaller than `smallest_font` device
// units.
void PaintFrame(QPainter& p, const QPointF& origin, const PlotFrame& frame,
                const RecordingCanvas& canvas, const FrameGeometry& geometry, double scale,
                bool legend = true, double smallest_font = 6);

// The frame drawn at `scale` times its design size, on white with black texts.
QImage RenderFrame(const PlotFrame& frame, const RecordingCanvas& canvas,
                   const FrameGeometry& geometry, double scale = 2.0);

// Writes RenderFrame as a PNG file. The path is in stored form ("\" separators) and is
// replaced whole or not at all. Needs a running QGuiApplication (offscreen is enough) for
// the fonts; without one, or when the file cannot be written, the problem names the file.
Status ExportFramePng(const PlotFrame& frame, const RecordingCanvas& canvas,
                      const FrameGeometry& geometry, const std::string& path, double scale = 2.0);

}  // namespace velquor
