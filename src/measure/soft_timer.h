// The pacing timer of the measurement loop: ticks on the grid start + k * Interval of a
// millisecond clock; late ticks are taken late, never dropped. Safe across clock wrap.
#pragma once

#include <cstdint>

namespace velquor {

struct TimerRecord {
  bool Enabled = false;
  std::int64_t Interval = 0;  // ms
  std::uint32_t Last = 0;     // clock of the last due tick, or of the start
};

// mode > 0 starts the timer with period mode ms (result 0); mode = 0 stops it (result 0);
// mode < 0 polls it: 1 when a tick is due (Last then advances by one Interval), else 0.
int SoftTimer(TimerRecord& timer, std::int64_t mode, std::uint32_t clock_ms);

}  // namespace velquor
