#include "measure/cycle_timing.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

namespace velquor {
namespace {

std::string Ms(double v, const char* format) {
  char text[32];
  std::snprintf(text, sizeof text, format, v);
  return text;
}

}  // namespace

CycleTiming MeasureCycleTiming(const SampleBlock& block) {
  CycleTiming t;
  t.samples = std::clamp(block.count.load(std::memory_order_acquire), 0, kMaxSamples);
  t.gap = block.gap;
  if (t.samples == 0) return t;
  std::vector<double> late;
  late.reserve(static_cast<std::size_t>(t.samples));
  for (int i = 1; i <= t.samples; ++i) late.push_back(block.LateMs(i));
  std::sort(late.begin(), late.end());
  auto at = [&late](double p) {
    // Nearest rank: the smallest value that at least p of the samples do not exceed.
    const auto rank = static_cast<std::size_t>(std::ceil(p * static_cast<double>(late.size())));
    return late.at(std::clamp<std::size_t>(rank, 1, late.size()) - 1);
  };
  t.p50_ms = at(0.5);
  t.p99_ms = at(0.99);
  t.max_ms = late.back();
  const double half = block.interval / 2.0;
  t.late = static_cast<int>(
      std::count_if(late.begin(), late.end(), [half](double v) { return v > half; }));
  return t;
}

std::string TimingLine(const CycleTiming& t) {
  return "timing: samples " + std::to_string(t.samples) + ", late " + std::to_string(t.late) +
         ", lateness p50 " + Ms(t.p50_ms, "%.3f") + " ms p99 " + Ms(t.p99_ms, "%.3f") + " ms max " +
         Ms(t.max_ms, "%.3f") + " ms, gap " + std::to_string(t.gap) + " samples";
}

std::optional<std::string> LateSamplesNotice(const CycleTiming& t) {
  if (t.late == 0) return std::nullopt;
  return std::to_string(t.late) + (t.late == 1 ? " sample" : " samples") + " late, worst " +
         Ms(t.max_ms, "%.1f") + " ms";
}

void MoveIntoRecord(const SampleBlock& block, MeasurementRecord& rec) {
  const int n = std::clamp(block.count.load(std::memory_order_acquire), 0, kMaxSamples);
  for (int i = 1; i <= n; ++i) {
    rec.Volt(0, i) = block.Volt(0, i);
    rec.Volt(1, i) = block.Volt(1, i);
    for (int k = 0; k < 3; ++k) rec.PortByte(k, i) = block.PortByte(k, i);
  }
  rec.SampleNo = n;
  if (rec.DataNum > static_cast<float>(n)) {
    rec.DataNum = static_cast<float>(n);
    rec.MeasTime = rec.SampInterval * n / 1000.0;
  }
}

}  // namespace velquor
