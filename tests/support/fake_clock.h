// A pacing clock for tests: it moves only when looked at (1 us a look) or slept on, and
// every sleep lets the test act as the program's other threads would meanwhile.
#pragma once

#include <algorithm>
#include <cstdint>
#include <functional>
#include <string>

#include "measure/pacing_clock.h"

namespace velquor::testing {

inline constexpr std::int64_t kMs = 1'000'000;

class FakeClock : public PacingClock {
 public:
  std::int64_t now = 5000 * kMs;
  std::function<void()> on_sleep;
  bool grant = true;
  int lowered = 0;

  std::int64_t NowNs() override { return now += 1000; }
  void SleepUntilNs(std::int64_t when) override {
    now = std::max(now, when);
    if (on_sleep) on_sleep();
  }
  std::string RaisePriority() override { return grant ? "" : "Operation not permitted"; }
  void LowerPriority() override { ++lowered; }
};

}  // namespace velquor::testing
