// Opening and closing the two acquisition devices with the numbers of the Card Setting
// screen, building the read requests, and the texts and lamp states the screens show.
#pragma once

#include <optional>
#include <string>

#include "daq/device_state.h"
#include "daq/driver.h"

namespace velquor {

// The Card Setting texts; every program start uses these initial values.
struct CardSettingTexts {
  std::string TxtDrvAD = "30";
  std::string TxtGrpAD = "1";
  std::string TxtChAD = "2";
  // What the analog inputs are measured against: GND, COMMON, DIFF or OTHER.
  std::string TxtRefAD = "GND";
  std::string TxtDrvDIO = "1";
  std::string TxtGrpDIO = "1";
  std::string PortNo1Inf = "0";
  std::string PortNo2Inf = "1";
  std::string PortNo3Inf = "2";
};

struct DeviceOutcome {
  std::optional<std::string> retInf;  // new return-code line, nothing to leave it as it is
  bool lampGreen = false;             // the device's lamp after the call
  std::string notice;                 // a problem to report, empty when none
  std::string note;  // what the open found (device file, codes, ports made inputs), or empty
};

// "AioInp failed with code 714h: <the driver's reason>", empty for code 0.
std::string DescribeFailure(const AcqDriver& driver, std::int32_t code, const std::string& op);

DeviceOutcome OpenAioCard(AcqDriver& driver, DeviceState& dev, const CardSettingTexts& texts);
DeviceOutcome OpenDioCard(AcqDriver& driver, DeviceState& dev, const CardSettingTexts& texts);
DeviceOutcome CloseAioCard(AcqDriver& driver, DeviceState& dev);
DeviceOutcome CloseDioCard(AcqDriver& driver, DeviceState& dev);

}  // namespace velquor
