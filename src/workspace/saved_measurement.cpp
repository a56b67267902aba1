#include "workspace/saved_measurement.h"

#include "files/data_file_reader.h"

namespace velquor {

Result<ReloadedMeasurement> ReloadSavedMeasurement(const std::string& dat_path,
                                                   const Calibration& cal,
                                                   const AnalysisChoice& choice,
                                                   std::vector<Problem>& notices) {
  auto loaded = LoadDataFiles(dat_path);
  if (!loaded) return loaded.problem();
  notices.insert(notices.end(), loaded.value()->notices.begin(), loaded.value()->notices.end());
  auto ws = Workspace::Make();
  CommitLoadedData(*loaded.value(), ws->record, ws->series);
  RecordAnalysis out{ws->series, ws->kin, ws->strokes};
  if (auto stop = AnalyseRecord(ws->record, cal, choice, out)) {
    return Problem{dat_path, 0, 0, stop->problem.what};
  }
  return ReloadedMeasurement{std::move(ws), std::move(out.pushes)};
}

}  // namespace velquor
