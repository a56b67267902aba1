#include "measure/main_loop.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "common/number_parse.h"
#include "measure/encoder.h"
#include "measure/take_sample.h"

namespace velquor {

void MainLoop(LoopParts p, LoopHost& host) {
  MeasurementRecord& rec = p.record;
  host.SetStartStop(false, true);
  // The pacing is fixed at entry; a later change of the interval changes only the time axis.
  const double rounded = RoundHalfEven(rec.SampInterval);
  const std::int64_t loop_interval =
      std::isfinite(rounded) ? static_cast<std::int64_t>(std::clamp(rounded, 0.0, 2147483647.0))
                             : 0;
  rec.StopFlag = false;
  // An interval that rounds to 0 ms never starts the timer: no sample is ever due.
  SoftTimer(p.timer, loop_interval, host.ClockMs());

  // Only whether the idle count is zero, and whether it changed, matters: it saturates.
  std::uint32_t idle = 0;
  std::uint32_t prev_idle = 0;
  for (;;) {
    host.ProcessEvents();
    if (rec.StopFlag) break;
    const float last_index = rec.DataNum - 1.0f;
    if (static_cast<float>(rec.SampleNo) <= last_index && rec.SampleNo < kMaxSamples) {
      if (SoftTimer(p.timer, -1, host.ClockMs()) == 1) {
        rec.SampleNo += 1;
        TakeSample(p.driver, p.device, rec.Volt, rec.PortByte, rec.SampleNo);
        if (idle != prev_idle) {
          if (idle == 0) {
            host.SetTimerLamp(kLampYellow);
          } else if (prev_idle == 0) {
            host.SetTimerLamp(kLampGreen);
          }
          prev_idle = idle;
        }
        idle = 0;
      } else if (idle < std::numeric_limits<std::uint32_t>::max()) {
        ++idle;
      }
      continue;
    }
    // All samples of the cycle are taken: the after-cycle chain runs without yielding.
    SoftTimer(p.timer, 0, host.ClockMs());
    AssembleEncoder(rec);
    host.AfterCycle();
    rec.SampleNo = 0;
    SoftTimer(p.timer, loop_interval, host.ClockMs());
  }
  SoftTimer(p.timer, 0, host.ClockMs());
  host.SetTimerLamp(kLampRed);
  host.SetStartStop(true, false);
}

}  // namespace velquor
