// Reading a saved measurement back: the measuring condition from the summary file and the
// samples from its per-sample file, into storage of its own. The record and the series are
// changed only by CommitLoadedData, once the whole pair was read without error.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/series.h"
#include "common/result.h"
#include "record/record.h"

namespace velquor {

struct LoadedData {
  // SampInterval, DataNum, MeasTime; Encoder and Volt of samples 1..DataNum.
  MeasurementRecord record;
  // Torque, Angle_deg, Distance (3 rows), Speed (3 rows), Power, Beta_deg, Alpha_deg, x, y
  // of samples 1..DataNum.
  DerivedSeries series;
  std::string ViewCsvPath;
  // What the operator should know although the pair was read, e.g. that the condition was
  // taken from the per-sample file because the summary holds no stroke row.
  std::vector<Problem> notices;
};

using LoadedDataPtr = std::unique_ptr<LoadedData>;

// ViewDatPath without its last 7 characters, then "csv.csv": the per-sample file of the
// same stem. No value when the name does not end in "dat.csv".
Result<std::string> SampleFilePathFor(std::string_view view_dat_path);

// Reads both texts (UTF-8). Every problem names the file, line and field and what was
// expected there.
Result<LoadedDataPtr> ReadDataTexts(std::string_view summary, std::string_view samples,
                                    const std::string& dat_path, const std::string& csv_path);

// Reads every sample row of a per-sample file's text (its header and units lines, then at
// most 2000 rows of 22 fields) into data's record and series from sample 1 on; returns the
// number of rows. first_time gets the time field of sample 1.
Result<int> ReadSampleRows(std::string_view samples, const std::string& csv_path, LoadedData& data,
                           std::string& first_time);

// Reads the summary file at ViewDatPath (stored form, "\" separators) and its per-sample
// file from disk.
Result<LoadedDataPtr> LoadDataFiles(const std::string& view_dat_path);

// Copies the condition and samples 1..DataNum of every column the files hold into the
// record and the series; nothing else is touched.
void CommitLoadedData(const LoadedData& data, MeasurementRecord& rec, DerivedSeries& series);

}  // namespace velquor
