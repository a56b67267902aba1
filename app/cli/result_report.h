// How reanalyse shows one measurement: the main-window table and the Calculated Results
// tables of strokes No.1 to No.3, as readable text or as one JSON object, with the texts
// exactly as the screens show them.
#pragma once

#include <string>

#include "analysis/series.h"
#include "record/record.h"

namespace velquor::cli {

struct Reanalysed {
  std::string file;
  const MeasurementRecord& rec;
  const KinematicsResults& kin;
  const StrokeResults& strokes;
};

// Text tables, ending in a line feed.
std::string ResultTables(const Reanalysed& r);

// {"file", "condition", "main", "strokes"} on one line, without a line feed.
std::string ResultJson(const Reanalysed& r);

}  // namespace velquor::cli
