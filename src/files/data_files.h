// Saving a measurement: both data files composed, encoded and written through the atomic
// layer, or, when anything fails, neither changed and the reason returned with the path.
#pragma once

#include <string_view>

#include "analysis/series.h"
#include "common/result.h"
#include "files/naming.h"
#include "files/save_stamp.h"
#include "measure/record.h"

namespace velquor {

// Writes the summary file and then the per-sample file under the given names. Nothing is
// written when the record cannot be saved (DataNum not a whole number 0..2000, StrokeCount
// outside 0..3) or a text has no Shift_JIS form; when the per-sample file fails, the summary
// file is put back as it was, so no half pair is left behind.
Status WriteDataFiles(const ComposedNames& names, std::string_view note,
                      const MeasurementRecord& rec, const DerivedSeries& series,
                      const StrokeResults& strokes, const SaveStamp& stamp);

// MakeFileNames with the save flag, then WriteDataFiles with the current names and note.
Status SaveDataFiles(FileNaming& naming, int save_flag, const MeasurementRecord& rec,
                     const DerivedSeries& series, const StrokeResults& strokes,
                     const SaveStamp& stamp);

}  // namespace velquor
