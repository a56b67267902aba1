// "Progress..." on the Study screen: a participant's progress over sessions composed from the
// catalogue of a directory and written where the user says.
#pragma once

#include <QString>
#include <functional>
#include <string>

#include "report/ui/report_request.h"

class QWidget;

namespace velquor {
struct MdcSettings;
}

namespace velquor::ui {

// Composes the progress of `participant` at `task` (empty: every task) from the trials of
// `dir` (local form) with the default figures and `mdc`, says what it noticed, and asks where
// to write the PDF (an existing file is replaced only after the user says so). A progress that
// cannot be composed is said and nothing is asked.
void WriteProgressReport(QWidget* parent, const std::string& dir, const std::string& participant,
                         const std::string& task, const MdcSettings& mdc,
                         const std::function<void(const QString&)>& notice, JobRunner run);

}  // namespace velquor::ui
