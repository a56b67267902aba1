// The opening of a session report: one entry per measurement with its stem, date, condition
// and the figures that compare trials, set as one table, then the mean push curves of all
// measurements overlaid, one graph per wheel, before the measurements' sections.
#pragma once

#include <array>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "report/measurement_section.h"

namespace velquor {

// What the comparison keeps of a measurement once its section is composed.
struct ComparisonEntry {
  std::string stem, date, condition;
  std::array<std::vector<std::string>, 2> wheels;  // the figure cells of ch0 and ch1
  std::array<std::optional<std::array<double, kCurvePoints>>, 2> curves;  // mean push curves
};

ComparisonEntry CompareMeasurement(const ReportSource& src);
// The push cells of one wheel (steady pushes, push frequency, the compared figures and their
// CVs) after the cells `e` holds for it, and its mean push curve.
void ComparePushes(const PushAnalysis& pushes, std::size_t wheel, ComparisonEntry& e);

// The colour a measurement's curve and stem are drawn in, by its place in the session.
Rgb SessionColour(std::size_t index);

// The session heading, the comparison table (two rows per measurement, ch0 and ch1, the stem
// in the colour of its curves) and the overlaid mean push curves.
void AppendSessionComparison(std::span<const ComparisonEntry> entries, ReportDocument& doc);

}  // namespace velquor
