// The texts of a trial's files: the per-sample CSV (its header and one row per sample), the
// JSON document with the trial's facts and pushes, and the names the files take.
#pragma once

#include <cstdint>
#include <ctime>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/push_analysis.h"
#include "analysis/trial_series.h"
#include "record/trial_facts.h"

namespace velquor {

// "RUN0000012_trial.csv", "RUN0000012_trial.json", "RUN0000012_trial_pushes.csv".
std::string TrialCsvName(std::string_view stem);
std::string TrialJsonName(std::string_view stem);
std::string TrialPushesName(std::string_view stem);

// The header line of the CSV, with its LF.
std::string TrialCsvHeader();

// Appends the row of sample i (1..Samples()) with its LF: the volts as the shortest text of
// the single's double, the counts whole, the series as shortest round-trip doubles (speed and
// power empty at sample 1), `marker` empty when 0.
void AppendTrialCsvRow(const TrialSeries& s, std::int64_t i, int marker, std::string& out);

// A moment as ISO 8601 local time with the offset: "2026-12-07T14:03:05+09:00".
std::string IsoLocalTime(std::time_t when);

// The JSON document on one line with its LF; "pushes" is the document the pushes command
// gives for the trial's CSV.
std::string TrialJsonText(const TrialFacts& facts, const PushAnalysis& pushes, bool complete);

// The markers as the JSON document holds them: [{"number":1,"sample":..,"t_s":..,"label":".."}].
std::string TrialMarkersJson(const std::vector<TrialMarker>& markers);

// The tidy CSV of the trial's pushes, each row naming the trial's CSV.
std::string TrialPushesCsvText(const TrialFacts& facts, const PushAnalysis& pushes);

}  // namespace velquor
