// "Report...": asks where a report goes without blocking the window (a measurement that is
// running keeps taking its samples on their ticks), then writes it and says where it went.
#pragma once

#include <QString>
#include <functional>

#include "report/report_document.h"

class QWidget;

namespace velquor::ui {

// Runs a job now, or keeps it for a moment when it would not delay a sample.
using JobRunner = std::function<void(std::function<void()>)>;

// Opens a save dialog for a PDF named `suggested`; a file that exists is replaced only after
// the user says so. The writing is handed to `run`; the outcome, written or not and why,
// goes to `notice`. Returns at once.
void AskAndWriteReport(QWidget* parent, const QString& suggested, ReportDocument doc,
                       std::function<void(const QString&)> notice, JobRunner run);

}  // namespace velquor::ui
