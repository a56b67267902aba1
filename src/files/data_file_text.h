// The texts of the two data files of a measurement: the summary file (a header line and a
// row per stroke) and the per-sample file (header, units, a row per sample), in UTF-8 with
// CR LF line ends, field for field as the reader and other programs expect them.
#pragma once

#include <string>
#include <string_view>

#include "analysis/series.h"
#include "files/save_stamp.h"
#include "record/record.h"

namespace velquor {

// The summary file's header line, without its line end.
std::string_view SummaryHeader();

// Header line, then one row per stroke 1..StrokeCount (0..3) with the measuring condition,
// the stroke's onsets and statistics, and the note last.
std::string SummaryFileText(std::string_view base_name, std::string_view note,
                            const MeasurementRecord& rec, const StrokeResults& strokes,
                            const SaveStamp& stamp);

// Header line, units line, then one row of 22 fields per sample 1..DataNum (at most 2000).
std::string SampleFileText(const MeasurementRecord& rec, const DerivedSeries& series);

}  // namespace velquor
