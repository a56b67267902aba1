#include "measure/soft_timer.h"

namespace velquor {

int SoftTimer(TimerRecord& timer, std::int64_t mode, std::uint32_t clock_ms) {
  if (mode > 0) {
    timer.Last = clock_ms;
    timer.Interval = mode;
    timer.Enabled = true;
    return 0;
  }
  if (mode == 0) {
    timer.Enabled = false;
    return 0;
  }
  if (!timer.Enabled) return 0;
  // Elapsed time in unsigned arithmetic stays right when the 32-bit clock wraps; Last never
  // runs ahead of the clock, because it only advances when a whole Interval has passed.
  const std::uint32_t elapsed = clock_ms - timer.Last;
  if (static_cast<std::int64_t>(elapsed) >= timer.Interval) {
    timer.Last += static_cast<std::uint32_t>(timer.Interval);
    return 1;
  }
  return 0;
}

}  // namespace velquor
