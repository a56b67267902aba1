// "Report...": asks where a report goes without blocking the window (a measurement that is
// running keeps taking its samples on their ticks), then writes it and says where it went.
#pragma once

#include <QString>
#include <functional>

#include "report/report_document.h"

class QWidget;

namespace velquor::ui {

// Opens a save dialog for a PDF named `suggested`; a file that exists is replaced only after
// the user says so. The outcome, written or not and why, goes to `notice`. Returns at once.
void AskAndWriteReport(QWidget* parent, const QString& suggested, ReportDocument doc,
                       std::function<void(const QString&)> notice);

}  // namespace velquor::ui
