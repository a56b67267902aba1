// Reading a trial's JSON document back for the catalogue: the trial's facts, labels, markers
// and the summary of its steady pushes, every fault named by the file and the field.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/push_analysis.h"
#include "common/result.h"
#include "record/trial_facts.h"

namespace velquor {

// Where a push of the trial lies: its number, onset and end (s, on the time of its samples).
struct PushSpan {
  int number = 0;
  double on_s = 0.0;
  double off_s = 0.0;
};

struct CatalogueTrial {
  TrialFacts facts;
  bool complete = false;
  std::array<PushSummary, 2> summaries{};
  std::array<std::vector<PushSpan>, 2> pushes;  // each wheel's, in time order
};

// The document's text; `path` names it in every problem. A document written before trials
// carried labels has none, and reads with empty labels.
Result<CatalogueTrial> ReadCatalogueTrial(std::string_view text, const std::string& path);

// The file at `path` (local form).
Result<CatalogueTrial> LoadCatalogueTrial(const std::string& path);

}  // namespace velquor
