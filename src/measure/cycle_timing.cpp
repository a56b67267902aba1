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

// The median, 99th percentile and largest of the samples' values, and how many exceed `over`.
struct Spread {
  double p50 = 0, p99 = 0, max = 0;
  int over = 0;
};

Spread SpreadOf(const Line<float, kSampleSlots>& values, int samples, double over) {
  Spread s;
  if (samples <= 0) return s;
  std::vector<double> v;
  v.reserve(static_cast<std::size_t>(samples));
  for (int i = 1; i <= samples; ++i) v.push_back(values(i));
  std::sort(v.begin(), v.end());
  auto at = [&v](double p) {
    // Nearest rank: the smallest value that at least p of the samples do not exceed.
    const auto rank = static_cast<std::size_t>(std::ceil(p * static_cast<double>(v.size())));
    return v.at(std::clamp<std::size_t>(rank, 1, v.size()) - 1);
  };
  s.p50 = at(0.5);
  s.p99 = at(0.99);
  s.max = v.back();
  s.over =
      static_cast<int>(std::count_if(v.begin(), v.end(), [over](double x) { return x > over; }));
  return s;
}

}  // namespace

CycleTiming MeasureCycleTiming(const SampleBlock& block) {
  CycleTiming t;
  t.samples = std::clamp(block.count.load(std::memory_order_acquire), 0, kMaxSamples);
  t.gap = block.gap;
  t.paced = block.paced;
  const double half = block.interval / 2.0;
  const Spread late = SpreadOf(block.LateMs, t.samples, half);
  t.p50_ms = late.p50;
  t.p99_ms = late.p99;
  t.max_ms = late.max;
  t.late = late.over;
  if (t.paced) {
    // The ports of a scan are read after it: a sample is late when they are.
    const Spread ports = SpreadOf(block.PortLagMs, t.samples, half);
    t.port_p50_ms = ports.p50;
    t.port_p99_ms = ports.p99;
    t.port_max_ms = ports.max;
    t.late = ports.over;
  }
  return t;
}

std::string TimingLine(const CycleTiming& t) {
  return "timing: samples " + std::to_string(t.samples) + ", late " + std::to_string(t.late) +
         ", lateness p50 " + Ms(t.p50_ms, "%.3f") + " ms p99 " + Ms(t.p99_ms, "%.3f") + " ms max " +
         Ms(t.max_ms, "%.3f") + " ms, gap " + std::to_string(t.gap) + " samples" +
         (t.paced ? ", port lag p50 " + Ms(t.port_p50_ms, "%.3f") + " ms p99 " +
                        Ms(t.port_p99_ms, "%.3f") + " ms max " + Ms(t.port_max_ms, "%.3f") + " ms"
                  : std::string());
}

std::optional<std::string> LateSamplesNotice(const CycleTiming& t) {
  if (t.late == 0) return std::nullopt;
  return std::to_string(t.late) + (t.late == 1 ? " sample" : " samples") + " late, worst " +
         Ms(t.paced ? t.port_max_ms : t.max_ms, "%.1f") + " ms" +
         (t.paced ? " after their scans" : "");
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
