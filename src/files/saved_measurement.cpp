#include "files/saved_measurement.h"

#include "analysis/kinematics.h"
#include "files/data_file_reader.h"

namespace velquor {

Result<std::unique_ptr<Workspace>> ReloadSavedMeasurement(const std::string& dat_path,
                                                          const Calibration& cal, bool shift,
                                                          std::vector<Problem>& notices) {
  auto loaded = LoadDataFiles(dat_path);
  if (!loaded) return loaded.problem();
  notices.insert(notices.end(), loaded.value()->notices.begin(), loaded.value()->notices.end());
  auto ws = Workspace::Make();
  CommitLoadedData(*loaded.value(), ws->record, ws->series);
  if (Status s = CalcKinematics(ws->record, cal, shift, ws->series, ws->kin); !s) {
    return Problem{dat_path, 0, 0, s.problem().what};
  }
  return ws;
}

}  // namespace velquor
