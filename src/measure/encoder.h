// Forming the 12-bit encoder counts from the three port bytes of every sample: low bytes
// from ports 0 and 1, high nibbles from port 2 (bits 0..3 channel 0, bits 4..7 channel 1).
#pragma once

#include "measure/record.h"

namespace velquor {

// Fills Encoder for samples 0..DataNum (at most 2000) and leaves PortByte(2, i) at 0.
void AssembleEncoder(MeasurementRecord& rec);

}  // namespace velquor
