// A report of saved measurements: each file reloaded and analysed as "View" does, given its
// section, and with several files a comparison of them first.
#pragma once

#include <array>
#include <span>
#include <string>
#include <vector>

#include "analysis/push_parameters.h"
#include "analysis/series.h"
#include "common/colors.h"
#include "common/result.h"
#include "record/calibration.h"
#include "report/report_document.h"
#include "report/session_comparison.h"

namespace velquor {

// What the files are analysed and drawn with.
struct ReportSettings {
  Calibration calibration;
  bool shift = false;
  StrokeConditions strokes;
  PushParameters pushes;
  std::array<Rgb, 3> GraphColor{};
};

struct FileReport {
  ReportDocument doc;
  std::vector<Problem> notices;   // files read, with something to say
  std::vector<Problem> failures;  // files that could not be reported; then `doc` is empty
};

FileReport ComposeFileReport(std::span<const std::string> files, const ReportSettings& settings);

// The whole document: with more than one entry the session comparison first, then the
// measurements' sections in order; zeros in the figure tables written "0", and every table
// fitted to its texts.
ReportDocument AssembleReport(std::span<const ComparisonEntry> entries, ReportDocument sections);

}  // namespace velquor
