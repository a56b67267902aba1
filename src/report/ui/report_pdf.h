// Writes a report as a PDF file of A4 pages with QtGui alone (no display, no widgets):
// texts in a font that holds Japanese as well as Latin, graphs as vectors, and the stem and
// the page number at the foot of every page.
#pragma once

#include <string>

#include "common/result.h"
#include "report/report_document.h"

namespace velquor {

// The PDF's bytes. Needs a running QGuiApplication (the offscreen platform is enough).
Result<std::string> ReportPdfBytes(const ReportDocument& doc);

// Writes the PDF to `path` (stored form, "\" separators) whole or not at all; an existing
// file is replaced only with `overwrite`, otherwise the problem names it.
Status WriteReportPdf(const ReportDocument& doc, const std::string& path, bool overwrite);

}  // namespace velquor
