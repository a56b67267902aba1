// Trials set side by side: each read back from its per-sample file, its pushes analysed as a
// report of it does, and the trials compared in the table and overlaid curves of a session.
#pragma once

#include <span>
#include <string>

#include "analysis/push_analysis.h"
#include "analysis/trial_series.h"
#include "report/file_report.h"
#include "report/session_comparison.h"

namespace velquor {

// A trial to compare: its per-sample file and the date it was started ("2026-12-07 10:05").
struct TrialToCompare {
  std::string path;
  std::string date;
};

// The trial's row of the comparison: its stem, date, interval and length, the mean speed of
// each wheel and the figures of its steady pushes.
ComparisonEntry CompareTrial(const std::string& stem, const std::string& date,
                             const TrialSeries& series, const PushAnalysis& pushes);

// The comparison of two or more trials; a trial that cannot be read or analysed is a failure
// and then nothing is composed.
FileReport ComposeTrialComparison(std::span<const TrialToCompare> trials,
                                  const ReportSettings& settings);

}  // namespace velquor
