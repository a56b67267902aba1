// Exporting the catalogued trials of a directory as a motion dataset in the brain-imaging data
// structure: every file written anew into the output directory, none ever replaced.
#pragma once

#include <string>
#include <vector>

#include "common/result.h"

namespace velquor {

struct BidsExportRequest {
  std::string dataDir;                    // whose catalogue lists the trials (stored form)
  std::string outDir;                     // the dataset's root (stored form)
  std::vector<std::string> participants;  // only these; all when empty
  std::string version;                    // the program's, for the dataset description
};

struct BidsExportNews {
  std::vector<std::string> written;  // local paths, in the order written
  std::vector<Problem> notices;      // trials left out and why
  int trials = 0;
};

// Writes dataset_description.json, participants.tsv and per trial its motion, channels,
// sidecar and events files, with each session's scans table. When any of these files is there
// already nothing is written and the problem names it; an export that stops part-way (a trial
// that cannot be read) takes away the files and folders it made, and says so. A trial without
// participant, session or task, or not complete, is left out with a notice.
Result<BidsExportNews> ExportBids(const BidsExportRequest& request);

}  // namespace velquor
