// How well a cycle kept its ticks: lateness of its samples, the late ones (more than half an
// interval after the tick) and the gap before it, with the texts that report them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "record/record.h"
#include "record/sample_block.h"

namespace velquor {

struct CycleTiming {
  int samples = 0;
  // Taken more than half an interval after their tick; paced by the card, ports read more
  // than half an interval after their scan.
  int late = 0;
  double p50_ms = 0, p99_ms = 0, max_ms = 0;
  std::int64_t gap = 0;  // ticks missed before the cycle's first sample
  bool paced = false;    // the card's clock paced the cycle
  double port_p50_ms = 0, port_p99_ms = 0, port_max_ms = 0;  // paced: ports after their scan
};

CycleTiming MeasureCycleTiming(const SampleBlock& block);

// "timing: samples N, late L, lateness p50 X ms p99 Y ms max Z ms, gap G samples", and for a
// cycle paced by the card ", port lag p50 X ms p99 Y ms max Z ms".
std::string TimingLine(const CycleTiming& t);

// "12 samples late, worst 3.1 ms" for a cycle with late samples, nothing otherwise.
std::optional<std::string> LateSamplesNotice(const CycleTiming& t);

// A finished cycle into the record: the voltages and port bytes of its samples, SampleNo at
// its count, and DataNum cut to the count when the condition asked for more than was taken.
void MoveIntoRecord(const SampleBlock& block, MeasurementRecord& rec);

}  // namespace velquor
