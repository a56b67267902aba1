// The pictures of a re-analysed measurement for the command-line tool: the seven result
// graphs and the stroke graph, one PNG each, named after the measurement's stem.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "analysis/series.h"
#include "common/colors.h"
#include "common/result.h"
#include "record/record.h"

namespace velquor {

// File name endings by main-window graph index (torque, speed, distance, turning angle,
// turning rate, path, power), then the stroke graph's.
inline constexpr std::array<std::string_view, 8> kGraphPictureSuffixes = {
    "_torque.png",   "_speed.png", "_distance.png", "_turn.png",
    "_turnrate.png", "_path.png",  "_power.png",    "_strokes.png"};

// DIR\STEM and the suffix; DIR in stored form, empty for the current directory.
std::string PicturePath(const std::string& dir, const std::string& stem, std::string_view suffix);

// Draws the seven result graphs and the stroke graph of an analysed record and writes them
// as DIR\STEM_torque.png ... DIR\STEM_strokes.png (DIR in stored form; empty for the
// current directory), each at `scale` times its on-screen size, legends in the channel
// colours. Stops at the first picture that cannot be written and names it. Needs a running
// QGuiApplication (the offscreen platform is enough).
Status ExportReanalysisPngs(const std::string& dir, const std::string& stem,
                            const MeasurementRecord& record, const DerivedSeries& series,
                            const KinematicsResults& kin, const StrokeResults& strokes,
                            const std::array<Rgb, 3>& GraphColor, double scale = 2.0);

}  // namespace velquor
