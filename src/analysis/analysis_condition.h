// Whether a measurement record can be analysed: enough samples inside the arrays, an
// interval and a measuring time that can be divided by. Violations name the value.
#pragma once

#include "common/result.h"
#include "record/record.h"

namespace velquor {

// DataNum a whole number 2..2000 and SampInterval a positive, finite number of ms.
// Any positive interval is accepted: a record read from a file may have been taken with
// an interval the measurement loop would not pace itself.
Status CheckSamplesAndInterval(const MeasurementRecord& rec);

// The same, and MeasTime a positive, finite number of seconds (the mean speeds divide by it).
Status CheckAnalysisCondition(const MeasurementRecord& rec);

}  // namespace velquor
