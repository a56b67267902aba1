// What the pacing harnesses share: a nanosecond clock, the simulated rig noting the moment of
// every analog read (the moment a sample is taken), and percentiles of a set of lateness.
#pragma once

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <vector>

#include "daq/sim_rig.h"

namespace velquor::bench {

inline std::int64_t NowNs() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

class TimedRig : public SimRig {
 public:
  std::vector<std::int64_t> read_ns;
  std::int32_t AioInp(std::int32_t id, AioRequest& req) override {
    read_ns.push_back(NowNs());
    return SimRig::AioInp(id, req);
  }
};

inline double Percentile(std::vector<double> v, double p) {
  if (v.empty()) return 0;
  std::sort(v.begin(), v.end());
  return v[static_cast<std::size_t>(p * static_cast<double>(v.size() - 1))];
}

}  // namespace velquor::bench
