// The measurement loop: paces samples with SoftTimer, reads both devices once per due tick,
// runs the after-cycle chain when a cycle is complete, and repeats until StopFlag is set.
#pragma once

#include <cstdint>

#include "common/colors.h"
#include "daq/device_state.h"
#include "daq/driver.h"
#include "measure/record.h"
#include "measure/soft_timer.h"

namespace velquor {

// What the loop needs from the program that hosts it.
class LoopHost {
 public:
  virtual ~LoopHost() = default;
  // Lets queued events run (Stop, menus, timers of other screens); the only place they run.
  virtual void ProcessEvents() = 0;
  // The millisecond clock.
  virtual std::uint32_t ClockMs() = 0;
  virtual void SetTimerLamp(Rgb colour) = 0;
  virtual void SetStartStop(bool start_enabled, bool stop_enabled) = 0;
  // The chain after the encoder counts are formed: analysis, graphs, tables, saving.
  virtual void AfterCycle() = 0;
};

struct LoopParts {
  MeasurementRecord& record;
  DeviceState& device;
  TimerRecord& timer;
  AcqDriver& driver;
};

// Runs until StopFlag is found set at the top of a pass. Preconditions set by Start:
// SampleNo = 0, the condition read.
void MainLoop(LoopParts parts, LoopHost& host);

}  // namespace velquor
