// The part of a report that a trial read back from its per-sample file gives: what the trial
// is (samples, interval, length, markers) and its pushes as a measurement's are reported.
#pragma once

#include <array>
#include <string>

#include "analysis/push_analysis.h"
#include "common/colors.h"
#include "files/trial_file_reader.h"
#include "report/report_document.h"

namespace velquor {

void AppendTrialSection(const LoadedTrial& trial, const PushAnalysis& a,
                        const std::array<Rgb, 3>& GraphColor, ReportDocument& doc);

}  // namespace velquor
