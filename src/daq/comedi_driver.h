// Real analog-input and 8255-type digital-input cards through comedilib: the driver
// operations built on the small ComediSeam, so they can be tested with a scripted library.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "daq/comedi_seam.h"
#include "daq/driver.h"

namespace velquor {

// Driver number N opens /dev/comediN, or every open uses the one device file given.
// Group number G picks the G-th analog-input subdevice (for the A/D device) or the G-th
// digital subdevice, DIO or DI (for the digital device), counted from 1 in subdevice order.
class ComediDriver : public AcqDriver {
 public:
  static constexpr std::int32_t kAioId = 1;
  static constexpr std::int32_t kDioId = 2;

  explicit ComediDriver(std::unique_ptr<ComediSeam> lib, std::string device_file = {});

  std::string Describe() const override;
  std::int32_t AioOpen(std::int32_t& id, std::int16_t driver_no, std::int16_t group_no) override;
  std::int32_t AioInp(std::int32_t id, AioRequest& req) override;
  std::int32_t AioClose(std::int32_t id) override;
  std::int32_t DioOpen(std::int32_t& id, std::int16_t driver_no, std::int16_t group_no) override;
  std::int32_t Dio8255Mode(std::int32_t id, std::int16_t chip, std::int16_t control) override;
  std::int32_t DioInp(std::int32_t id, DioRequest& req) override;
  std::int32_t DioClose(std::int32_t id) override;
  std::string LastError() const override { return last_error_; }

 private:
  // One open device file and the subdevice used on it.
  struct Device {
    int handle = -1;
    std::string path;
    int subdev = -1;
    int channels = 0;
    bool configurable = false;         // digital: a DIO subdevice whose channels take a direction
    std::array<int, 2> range{-1, -1};  // analog: the -10..10 V range of channels 0 and 1
    bool open() const { return handle >= 0; }
  };

  std::int32_t Fail(std::int32_t code, std::string why);
  // Fail with the library's own error text appended.
  std::int32_t FailLib(std::int32_t code, const std::string& why);
  std::string PathFor(std::int16_t driver_no) const;
  // Opens the device file and finds the group's subdevice; fills dev or gives a code.
  std::int32_t OpenDevice(const char* op, Device& dev, std::int16_t driver_no,
                          std::int16_t group_no, bool analog);
  std::int32_t CheckAnalogChannels(Device& dev);
  void Release(Device& dev);
  std::int32_t CloseDevice(const char* op, Device& dev);
  std::string Where(const Device& dev) const;

  std::unique_ptr<ComediSeam> lib_;
  std::string device_file_;
  Device analog_;
  Device digital_;
  std::string last_error_;
};

}  // namespace velquor
