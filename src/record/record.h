// The measurement record: raw samples (voltages, port bytes, encoder counts), the measuring
// condition they were taken under, and the run flags the loop and the savers share.
#pragma once

#include <cstdint>
#include <string>

#include "common/grid.h"

namespace velquor {

inline constexpr const char* kProgramName = "Velquor10";

struct MeasurementRecord {
  Grid<float, 2, kSampleSlots> Volt;             // V, channel 0..1
  Grid<std::uint8_t, 3, kSampleSlots> PortByte;  // raw port bytes, port 0..2
  Grid<float, 2, kSampleSlots> Encoder;          // counts 0..4095, channel 0..1

  double SampInterval = 0.0;  // ms
  float DataNum = 0.0f;       // samples
  double MeasTime = 0.0;      // s

  int SampleNo = 0;       // last stored sample while the loop runs
  bool StopFlag = false;  // asks the loop to stop at the top of its next pass
  int SaveFlag = 0;       // 0 = automatic file-name set, 1 = manual set
  std::string ProgramName = kProgramName;
};

}  // namespace velquor
