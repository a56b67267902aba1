// Replays a recorded canvas onto a QPainter: the clear to the background, then every
// command since, in user coordinates mapped onto the plotting rectangle and clipped to it.
#pragma once

#include <QColor>
#include <QPainter>
#include <QRectF>

#include "common/colors.h"
#include "plot/recording_canvas.h"

namespace velquor {

QColor ToQColor(Rgb colour);

// Paints the area as it stands after the commands: background first, then lines and
// circles from the settings in force at the last clear. Nothing is painted outside the
// area, and nothing at all over a scale that cannot place points.
void PaintCommands(QPainter& painter, const QRectF& area, const RecordingCanvas& canvas,
                   const QColor& background);

}  // namespace velquor
