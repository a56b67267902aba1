// What a trial file says about the trial besides its samples: when it started, its interval,
// the calibration it was taken under, the cycles it joins and the markers placed in it.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "record/study_label.h"

namespace velquor {

// One cycle of the trial as it was saved: its pair's stem and where its samples lie.
struct TrialCycle {
  std::string stem;               // "RUN0000012"
  std::int64_t first_sample = 1;  // the trial's number of the cycle's first sample
  std::int64_t samples = 0;
};

// A marker the operator (or a script) placed at a sample of the trial.
struct TrialMarker {
  int number = 0;           // 1 for the first marker of the trial
  std::int64_t sample = 0;  // 1..samples
  double t_s = 0.0;         // sample * interval / 1000
  std::string label;        // empty until one is typed
};

struct TrialFacts {
  std::string stem;     // the trial's name: the stem of its first saved pair
  std::string started;  // ISO 8601 local time with its offset, "2026-12-07T14:03:05+09:00"
  StudyLabels who;      // participant, session and task; empty when not given
  double interval_ms = 0.0;
  std::int64_t samples = 0;
  std::array<double, 2> ka1{};  // the calibration in force when the trial started
  std::array<double, 2> ka0{};
  bool shift = false;  // torque taken without Ka0
  std::vector<TrialCycle> cycles;
  std::vector<TrialMarker> markers;
  // The feedback given to the person pushing, as a JSON object; empty when none was kept.
  std::string feedback_json;
};

}  // namespace velquor
