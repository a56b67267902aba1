// One sample: both devices read once through the requests of the device state, the two
// voltages converted and the three port bytes stored at index n; a failed read is returned.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "common/grid.h"
#include "daq/device_state.h"
#include "daq/driver.h"

namespace velquor {

// A device read that failed: which read, its code and the driver's reason.
struct ReadFault {
  bool analog = true;  // the A/D read; else the port read
  std::int32_t code = 0;
  std::string reason;  // "AioInp failed with code 714h: …"
  int cycle = 0;       // where the run was, when it was a run's read: cycle 1.., sample 1..
  int sample = 0;

  // The card is gone (unplugged, or its driver detached): both devices must be opened again.
  bool DeviceGone() const { return code == daq_code::kDeviceGone; }
  std::string Device() const { return analog ? "A/D device" : "DIO device"; }
  // What the operator is told: where the run stopped, which device, why, and what became of
  // the cycle.
  std::string Describe() const;
};

// The values read are stored only when both reads succeeded; otherwise sample n is left as
// it was and the failure is returned. `between` runs after the analog read succeeded and
// before the ports are read.
std::optional<ReadFault> TakeSample(AcqDriver& driver, DeviceState& dev,
                                    Grid<float, 2, kSampleSlots>& volt,
                                    Grid<std::uint8_t, 3, kSampleSlots>& ports, int n,
                                    const std::function<void()>& between = {});

}  // namespace velquor
