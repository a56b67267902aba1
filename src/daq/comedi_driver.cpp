#include "daq/comedi_driver.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <utility>

namespace velquor {
namespace {

constexpr std::uint32_t kMaxCode12 = 4095;
// An 8255 has three 8-bit ports; its three ports are channels 0..23 of the subdevice.
constexpr int k8255Channels = 24;
constexpr std::int16_t kAllInputs = 0x9B;

std::string Num(double v) {
  char text[32];
  std::snprintf(text, sizeof text, "%g", v);
  return text;
}

std::string RangeText(const ComediRange& r) {
  return Num(r.min) + ".." + Num(r.max) + (r.volts ? " V" : " (not volts)");
}

bool IsPlusMinusTenVolts(const ComediRange& r) {
  return r.volts && std::fabs(r.min + 10.0) < 1e-9 && std::fabs(r.max - 10.0) < 1e-9;
}

}  // namespace

ComediDriver::ComediDriver(std::unique_ptr<ComediSeam> lib, std::string device_file)
    : lib_(std::move(lib)), device_file_(std::move(device_file)) {}

std::string ComediDriver::Describe() const {
  return device_file_.empty() ? "comedilib cards (/dev/comediN)" : "comedilib card " + device_file_;
}

std::int32_t ComediDriver::Fail(std::int32_t code, std::string why) {
  last_error_ = std::move(why);
  return code;
}

std::int32_t ComediDriver::FailLib(std::int32_t code, const std::string& why) {
  const ComediFailure f = lib_->LastFailure();
  return Fail(code, why + ": " + (f.text.empty() ? "error " + std::to_string(f.number) : f.text));
}

std::string ComediDriver::PathFor(std::int16_t driver_no) const {
  return device_file_.empty() ? "/dev/comedi" + std::to_string(driver_no) : device_file_;
}

std::string ComediDriver::Where(const Device& dev) const {
  return (&dev == &analog_ ? "analog-input subdevice " : "digital subdevice ") +
         std::to_string(dev.subdev) + " on " + dev.path;
}

void ComediDriver::Release(Device& dev) {
  if (dev.open()) lib_->Close(dev.handle);
  dev = Device{};
}

std::int32_t ComediDriver::OpenDevice(const char* op, Device& dev, std::int16_t driver_no,
                                      std::int16_t group_no, bool analog) {
  Release(dev);  // opening again replaces the device opened before
  const std::string name = op;
  if (device_file_.empty() && driver_no < 0) {
    return Fail(daq_code::kNoSuchDevice,
                name + ": driver number " + std::to_string(driver_no) +
                    " names no device (driver number N opens /dev/comediN)");
  }
  dev.path = PathFor(driver_no);
  dev.handle = lib_->Open(dev.path);
  if (dev.handle < 0) {
    const ComediFailure f = lib_->LastFailure();
    const bool missing = f.number == ENOENT || f.number == ENODEV || f.number == ENXIO;
    std::string hint;
    if (f.number == EACCES || f.number == EPERM) {
      hint = " (the user must be a member of the group that owns the device, usually iocard)";
    } else if (f.number == ENOTTY) {
      hint = " (the file is not a comedi device)";
    }
    const std::int32_t code = missing ? daq_code::kNoSuchDevice : daq_code::kOpenFailed;
    Fail(code, name + ": cannot open " + dev.path + ": " + f.text + hint);
    dev = Device{};
    return code;
  }
  const int count = lib_->SubdeviceCount(dev.handle);
  if (count < 0) {
    FailLib(daq_code::kOpenFailed, name + ": cannot list the subdevices of " + dev.path);
    Release(dev);
    return daq_code::kOpenFailed;
  }
  int seen = 0;
  for (int s = 0; s < count; ++s) {
    const SubdeviceKind kind = lib_->Kind(dev.handle, s);
    const bool fits = analog
                          ? kind == SubdeviceKind::kAnalogIn
                          : kind == SubdeviceKind::kDigitalIo || kind == SubdeviceKind::kDigitalIn;
    if (!fits || ++seen != group_no) continue;
    dev.subdev = s;
    dev.configurable = kind == SubdeviceKind::kDigitalIo;
    dev.channels = lib_->ChannelCount(dev.handle, s);
    if (dev.channels < 0) {
      FailLib(daq_code::kOpenFailed, name + ": cannot count the channels of " + Where(dev));
      Release(dev);
      return daq_code::kOpenFailed;
    }
    return daq_code::kOk;
  }
  const std::string kind_name = analog ? "analog-input" : "digital (DIO or DI)";
  Fail(daq_code::kNoSuchDevice, name + ": group number " + std::to_string(group_no) + " names no " +
                                    kind_name + " subdevice of " + dev.path + ": it has " +
                                    std::to_string(seen) + ", counted from 1");
  Release(dev);
  return daq_code::kNoSuchDevice;
}

std::int32_t ComediDriver::CheckAnalogChannels(Device& dev) {
  if (dev.channels < 2) {
    return Fail(daq_code::kConfigFailed, "AioOpen: " + Where(dev) + " has " +
                                             std::to_string(dev.channels) +
                                             " channel(s); channels 0 and 1 are read");
  }
  for (int chan = 0; chan < 2; ++chan) {
    const std::string where = "AioOpen: channel " + std::to_string(chan) + " of " + Where(dev);
    const int n = lib_->RangeCount(dev.handle, dev.subdev, chan);
    if (n < 0) return FailLib(daq_code::kConfigFailed, where + ": cannot list its ranges");
    std::string offered;
    for (int r = 0; r < n && dev.range.at(static_cast<std::size_t>(chan)) < 0; ++r) {
      const auto range = lib_->Range(dev.handle, dev.subdev, chan, r);
      if (!range) continue;
      if (IsPlusMinusTenVolts(*range)) {
        dev.range.at(static_cast<std::size_t>(chan)) = r;
      } else {
        offered += (offered.empty() ? "" : ", ") + RangeText(*range);
      }
    }
    if (dev.range.at(static_cast<std::size_t>(chan)) < 0) {
      return Fail(daq_code::kRangeUnavailable,
                  where + " has no -10..10 V input range (it offers " +
                      (offered.empty() ? std::string("none") : offered) + ")");
    }
    const std::uint32_t maxdata = lib_->MaxData(dev.handle, dev.subdev, chan);
    if (maxdata == 0)
      return FailLib(daq_code::kConfigFailed, where + ": cannot read its resolution");
    if (maxdata != kMaxCode12) {
      return Fail(daq_code::kResolutionMismatch,
                  where + " gives codes 0.." + std::to_string(maxdata) +
                      "; the program converts 12-bit codes (0..4095)");
    }
  }
  return daq_code::kOk;
}

std::int32_t ComediDriver::CloseDevice(const char* op, Device& dev) {
  const std::string path = dev.path;
  const int result = lib_->Close(dev.handle);
  dev = Device{};
  if (result < 0) return FailLib(daq_code::kCloseFailed, std::string(op) + ": closing " + path);
  return daq_code::kOk;
}

std::int32_t ComediDriver::AioOpen(std::int32_t& id, std::int16_t driver_no,
                                   std::int16_t group_no) {
  id = 0;
  std::int32_t code = OpenDevice("AioOpen", analog_, driver_no, group_no, true);
  if (code == daq_code::kOk) code = CheckAnalogChannels(analog_);
  if (code != daq_code::kOk) {
    Release(analog_);
    return code;
  }
  id = kAioId;
  return daq_code::kOk;
}

std::int32_t ComediDriver::AioInp(std::int32_t id, AioRequest& req) {
  if (id != kAioId || !analog_.open()) {
    return Fail(daq_code::kNotOpen, "AioInp: the A/D device is not open");
  }
  if (!req.Built())
    return Fail(daq_code::kRequestNotBuilt, "AioInp: the read request was never built");
  const int count = std::clamp<int>(req.ChannelCount, 0, 2);
  for (int k = 0; k < count; ++k) {
    const int chan = (*req.ChannelList).at(static_cast<std::size_t>(k));
    const std::string what = "AioInp: channel " + std::to_string(chan) + " of " + Where(analog_);
    if (chan < 0 || chan > 1) {
      return Fail(daq_code::kConfigFailed, what + " was not set up at open (channels 0 and 1 are)");
    }
    std::uint32_t data = 0;
    // The library gives the number of samples read: 1 is success, only a negative is an error.
    const int got = lib_->DataRead(analog_.handle, analog_.subdev, chan,
                                   analog_.range.at(static_cast<std::size_t>(chan)), data);
    if (got < 0) return FailLib(daq_code::kReadFailed, what + " could not be read");
    if (got == 0) return Fail(daq_code::kReadFailed, what + " gave no sample");
    if (data > kMaxCode12) {
      return Fail(daq_code::kReadFailed,
                  what + " gave code " + std::to_string(data) + ", above the 12-bit 4095");
    }
    (*req.AiData).at(static_cast<std::size_t>(k)) = static_cast<std::uint16_t>(data);
  }
  return daq_code::kOk;
}

std::int32_t ComediDriver::AioClose(std::int32_t id) {
  if (id != kAioId || !analog_.open()) {
    return Fail(daq_code::kNotOpen, "AioClose: the A/D device is not open");
  }
  return CloseDevice("AioClose", analog_);
}

std::int32_t ComediDriver::DioOpen(std::int32_t& id, std::int16_t driver_no,
                                   std::int16_t group_no) {
  id = 0;
  const std::int32_t code = OpenDevice("DioOpen", digital_, driver_no, group_no, false);
  if (code != daq_code::kOk) return code;
  id = kDioId;
  return daq_code::kOk;
}

std::int32_t ComediDriver::Dio8255Mode(std::int32_t id, std::int16_t chip, std::int16_t control) {
  if (id != kDioId || !digital_.open()) {
    return Fail(daq_code::kNotOpen, "Dio8255Mode: the DIO device is not open");
  }
  if (control != kAllInputs || chip != 0) {
    char word[8];
    std::snprintf(word, sizeof word, "%X",
                  static_cast<unsigned>(static_cast<std::uint16_t>(control)));
    return Fail(daq_code::kUnsupportedMode,
                "Dio8255Mode: control word " + std::string(word) + "h on chip " +
                    std::to_string(chip) +
                    " is not supported; only 9Bh on chip 0 (ports A, B and C all inputs) is");
  }
  // A DI subdevice is input only; a DIO subdevice gets every channel of its ports as input.
  if (!digital_.configurable) return daq_code::kOk;
  const int channels = std::min(digital_.channels, k8255Channels);
  for (int chan = 0; chan < channels; ++chan) {
    if (lib_->DioConfigInput(digital_.handle, digital_.subdev, chan) < 0) {
      return FailLib(daq_code::kConfigFailed, "Dio8255Mode: making channel " +
                                                  std::to_string(chan) + " of " + Where(digital_) +
                                                  " an input failed");
    }
  }
  return daq_code::kOk;
}

std::int32_t ComediDriver::DioInp(std::int32_t id, DioRequest& req) {
  if (id != kDioId || !digital_.open()) {
    return Fail(daq_code::kNotOpen, "DioInp: the DIO device is not open");
  }
  if (!req.Built())
    return Fail(daq_code::kRequestNotBuilt, "DioInp: the read request was never built");
  // One read takes channels 0..31: port p is channels 8p..8p+7.
  const int ports = std::min(digital_.channels, 32) / 8;
  const int count = std::clamp<int>(req.PortCount, 0, 3);
  for (int k = 0; k < count; ++k) {
    const int port = (*req.PortList).at(static_cast<std::size_t>(k));
    if (port < 0 || port >= ports) {
      return Fail(daq_code::kNoSuchPort,
                  "DioInp: port " + std::to_string(port) + " is not on " + Where(digital_) +
                      " (it has " + std::to_string(digital_.channels) + " channels: " +
                      (ports > 0 ? "ports 0.." + std::to_string(ports - 1) : "no whole port") +
                      ")");
    }
  }
  std::uint32_t bits = 0;
  if (lib_->DioReadBits(digital_.handle, digital_.subdev, bits) < 0) {
    return FailLib(daq_code::kReadFailed, "DioInp: reading " + Where(digital_) + " failed");
  }
  for (int k = 0; k < count; ++k) {
    const int port = (*req.PortList).at(static_cast<std::size_t>(k));
    (*req.DioData).at(static_cast<std::size_t>(k)) =
        static_cast<std::uint8_t>((bits >> (8 * port)) & 0xFFu);
  }
  return daq_code::kOk;
}

std::int32_t ComediDriver::DioClose(std::int32_t id) {
  if (id != kDioId || !digital_.open()) {
    return Fail(daq_code::kNotOpen, "DioClose: the DIO device is not open");
  }
  return CloseDevice("DioClose", digital_);
}

}  // namespace velquor
