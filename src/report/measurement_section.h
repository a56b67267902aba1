// The part of a report that shows one measurement: its header, the main-window result
// table, the seven result graphs and the stroke graph, and the Calculated Results tables.
#pragma once

#include <array>
#include <string>

#include "analysis/push_analysis.h"
#include "analysis/series.h"
#include "common/colors.h"
#include "files/summary_facts.h"
#include "record/record.h"
#include "report/report_document.h"

namespace velquor {

// One analysed measurement and what it was analysed with.
struct ReportSource {
  SummaryFacts facts;  // stem, date and time of the save, program tag, note
  const MeasurementRecord& rec;
  const DerivedSeries& series;
  const KinematicsResults& kin;
  const StrokeResults& strokes;
  StrokeConditions strokeConditions;
  std::array<double, 2> Ka1{}, Ka0{};
  bool calibrationLoaded = false;
  bool shift = false;
  std::array<Rgb, 3> GraphColor{};
  // The push-by-push analysis; without one the section leaves the pushes out.
  const PushAnalysis* pushes = nullptr;
};

// The stem a report names a measurement by ("(not saved)" when it has none).
std::string ShownStem(const SummaryFacts& facts);

// The measuring condition as the main window's boxes give it, with their units.
std::string ConditionText(const MeasurementRecord& rec);

// Appends the section's blocks; the first starts a new page.
void AppendMeasurementSection(const ReportSource& src, ReportDocument& doc);

}  // namespace velquor
