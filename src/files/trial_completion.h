// Trials a run left incomplete when the program stopped (the JSON document still says
// "complete": false) completed at the next start from their per-sample files.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "analysis/push_parameters.h"
#include "common/result.h"
#include "files/trial_file_reader.h"
#include "record/trial_facts.h"

namespace velquor {

// The trial's facts as its JSON document holds them, with whether it says it is complete.
struct TrialDocument {
  TrialFacts facts;
  bool complete = false;
  PushParameters parameters;  // of its pushes document; the defaults when it has none
};

// Reads the facts of a trial's JSON text; a problem names the file and what is missing.
Result<TrialDocument> ReadTrialDocument(std::string_view json, const std::string& file);

// For every STEM_trial.json in the directory (native path) that says "complete": false: the
// trial is read again from STEM_trial.csv under the calibration and push parameters it was
// taken with, the markers of the per-sample file joined to those of the document, the pushes
// analysed again, the document written again atomically as complete and the push table
// written (never over a file). Each trial completed, or left because it cannot be, is told.
std::vector<Problem> CompleteLeftTrials(const std::string& native_dir);

}  // namespace velquor
