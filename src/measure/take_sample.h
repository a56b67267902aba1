// One sample: both devices read once through the requests of the device state, the two
// voltages converted and the three port bytes stored at index n.
#pragma once

#include <cstdint>

#include "common/grid.h"
#include "daq/device_state.h"
#include "daq/driver.h"

namespace velquor {

void TakeSample(AcqDriver& driver, DeviceState& dev, Grid<float, 2, kSampleSlots>& volt,
                Grid<std::uint8_t, 3, kSampleSlots>& ports, int n);

}  // namespace velquor
