// Forming the 12-bit encoder counts of a record from the three port bytes of every sample,
// as daq/encoder_ports.h says the ports carry them.
#pragma once

#include "record/record.h"

namespace velquor {

// Fills Encoder for samples 0..DataNum (at most 2000) and leaves PortByte(2, i) at 0.
void AssembleEncoder(MeasurementRecord& rec);

}  // namespace velquor
