// The progress report of one participant over sessions: for each chosen figure a graph of the
// sessions' steady-push mean ± SD against the first session and the minimal detectable change,
// then the session-by-session table, composed from the study catalogue of a directory.
#pragma once

#include <string>
#include <vector>

#include "common/result.h"
#include "files/mdc_settings.h"
#include "report/report_document.h"

namespace velquor {

struct ProgressRequest {
  std::string dir;                   // the catalogued directory (stored form)
  std::string participant;           // whose sessions
  std::string task;                  // only trials of this task; empty: every task
  std::vector<std::string> figures;  // empty: the default five
  MdcSettings mdc;
};

struct ProgressReport {
  ReportDocument doc;
  std::vector<Problem> notices;  // what reading the catalogue brought up
  std::string done;              // what it covers, "progress of P01: 3 sessions, 6 trials, ..."
};

// A participant without trials there (at that task), a figure no session summary holds, or a
// catalogue that cannot be read is the problem.
Result<ProgressReport> ComposeProgress(const ProgressRequest& r);

// The title of a figure over its graph, "Contact angle (deg)"; its short head in the table.
std::string ProgressFigureTitle(const std::string& figure);
std::string ProgressFigureHead(const std::string& figure);

}  // namespace velquor
