// The opening of a session report: one entry per measurement with its stem, date, condition
// and the figures that compare trials, set as one table before the measurements' sections.
#pragma once

#include <array>
#include <span>
#include <string>
#include <vector>

#include "report/measurement_section.h"

namespace velquor {

// What the comparison keeps of a measurement once its section is composed.
struct ComparisonEntry {
  std::string stem, date, condition;
  std::array<std::vector<std::string>, 2> wheels;  // the figure cells of ch0 and ch1
};

ComparisonEntry CompareMeasurement(const ReportSource& src);

// The session heading and the comparison table, two rows per measurement (ch0, ch1).
void AppendSessionComparison(std::span<const ComparisonEntry> entries, ReportDocument& doc);

}  // namespace velquor
