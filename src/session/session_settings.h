// The settings a run is taken under that are not the measuring condition: which saves are
// on and what the after-cycle analysis is asked for. The host keeps them as its screens say.
#pragma once

#include "analysis/analyse_record.h"
#include "record/study_label.h"

namespace velquor {

struct SessionSettings {
  bool autoSave = false;    // each cycle saved with the automatic set, the number advanced
  bool manualSave = false;  // the run ends after one cycle, handed over for a manual save
  AnalysisChoice analysis;  // the shift, the stroke conditions and the push parameters
  // The trial's push parameters where the cycles are not analysed for pushes.
  PushParameters trialPushes;
  double trialLengthS = 0;  // the run ends with the cycle that reaches it; 0 for no limit
  StudyLabels who;          // participant, session and task, written with each trial
};

}  // namespace velquor
