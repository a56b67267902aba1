// The mean push curve of a measurement as a picture for the command-line tool, named after
// the measurement's stem.
#pragma once

#include <array>
#include <string>

#include "analysis/push_analysis.h"
#include "common/colors.h"
#include "common/result.h"

namespace velquor {

inline constexpr const char* kPushCurvePictureSuffix = "_pushcurve.png";

// Draws the push-curve graph and writes it as DIR\STEM_pushcurve.png (DIR in stored form;
// empty for the current directory) at `scale` times its on-screen size. Needs a running
// QGuiApplication (the offscreen platform is enough); a failure names the file.
Status ExportPushCurvePng(const std::string& dir, const std::string& stem, const PushAnalysis& a,
                          const std::array<Rgb, 3>& GraphColor, double scale = 2.0);

}  // namespace velquor
