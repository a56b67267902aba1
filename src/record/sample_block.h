// One measurement cycle as the acquisition thread takes it: the raw samples, how late each
// was taken against its tick, and where the cycle lies on the run's grid of ticks.
#pragma once

#include <atomic>
#include <cstdint>

#include "common/grid.h"

namespace velquor {

struct SampleBlock {
  Grid<float, 2, kSampleSlots> Volt;             // V, channel 0..1
  Grid<std::uint8_t, 3, kSampleSlots> PortByte;  // raw port bytes, port 0..2
  Line<float, kSampleSlots> LateMs;              // ms from each sample's tick to its read
  // Paced by the card: ms from each sample's scan to the read of its ports.
  Line<float, kSampleSlots> PortLagMs;
  // Samples 1..count are stored; it only grows while the block is being filled, and a
  // reader on another thread may look at those samples once it has seen the count.
  std::atomic<int> count{0};
  int cycle = 0;          // 1 for the first cycle of a run
  std::int64_t gap = 0;   // ticks missed between the previous cycle's last sample and this first
  double interval = 0.0;  // ms between ticks
  bool paced = false;     // the card's clock paced the cycle: each tick is the time of a scan
};

}  // namespace velquor
