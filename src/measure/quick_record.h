// Takes a whole record from a driver at once, without pacing: both devices opened with the
// initial Card Setting numbers, n samples read as the loop reads them, encoder counts formed.
#pragma once

#include "daq/driver.h"
#include "record/record.h"

namespace velquor {

// Fills samples 1..n (n at most 2000) and sets the condition: interval_ms, n, n * interval.
void QuickRecord(AcqDriver& driver, MeasurementRecord& rec, int n, double interval_ms);

}  // namespace velquor
