// Fitting a report table to its texts: every column at least as wide as its widest cell and
// its head (broken into two lines where a head would not fit on one), in sizes no smaller
// than the smallest the report sets.
#pragma once

#include "report/report_document.h"

namespace velquor {

// Widens the columns whose texts need it, taking the room from columns with room to spare,
// and lets the table grow up to `width` when the total it was given is too small. When even
// `width` is too small the size of its texts goes down, to kSmallestPt at most. Heads that do
// not fit their column on one line get a "\n" where the longer line is shortest.
void FitTable(TextTable& t, double width);

}  // namespace velquor
