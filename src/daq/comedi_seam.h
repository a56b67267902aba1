// The handful of comedilib calls the card backend makes, as a small interface: the library
// binding implements it with the real calls, tests script it. Handles stand for open devices.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "daq/driver.h"

namespace velquor {

// The subdevice types the backend looks for; every other type is kOther.
enum class SubdeviceKind { kAnalogIn, kDigitalIn, kDigitalIo, kOther };

struct ComediRange {
  double min = 0;
  double max = 0;
  bool volts = false;  // the unit is volts (not mA or a raw unit)
};

// Why a call failed: the library's error number and its text.
struct ComediFailure {
  int number = 0;
  std::string text;
};

// What one call gave: its value, negative on failure, and then the failure, taken at once on
// the calling thread (the library keeps its error number per thread).
struct ComediAnswer {
  std::int64_t value = 0;
  ComediFailure failure;
  bool ok() const { return value >= 0; }
};

// The bit of AnalogReference r in the value References gives.
constexpr std::int64_t ReferenceBit(AnalogReference r) {
  return std::int64_t{1} << static_cast<int>(r);
}

class ComediSeam {
 public:
  virtual ~ComediSeam() = default;

  // Opens a device file: the value is a handle >= 0.
  virtual ComediAnswer Open(const std::string& path) = 0;
  virtual ComediAnswer Close(int dev) = 0;
  // The number of subdevices.
  virtual ComediAnswer SubdeviceCount(int dev) = 0;
  virtual SubdeviceKind Kind(int dev, int subdev) = 0;
  virtual ComediAnswer ChannelCount(int dev, int subdev) = 0;
  // The analog references the subdevice takes, one ReferenceBit each.
  virtual ComediAnswer References(int dev, int subdev) = 0;
  // The number of input ranges of the channel.
  virtual ComediAnswer RangeCount(int dev, int subdev, int chan) = 0;
  virtual std::optional<ComediRange> Range(int dev, int subdev, int chan, int range) = 0;
  // The largest code the channel gives.
  virtual ComediAnswer MaxData(int dev, int subdev, int chan) = 0;
  // One sample of the channel, taken `settle_ns` after the multiplexer was switched to it.
  virtual ComediAnswer ReadSettled(int dev, int subdev, int chan, int range, AnalogReference ref,
                                   unsigned settle_ns, std::uint32_t& data) = 0;
  // The direction of a digital channel: the value is 1 for an output, 0 for an input.
  virtual ComediAnswer DioIsOutput(int dev, int subdev, int chan) = 0;
  // Makes the channel an input (an 8255 takes the direction of the channel's whole group).
  virtual ComediAnswer DioConfigInput(int dev, int subdev, int chan) = 0;
  // Reads channels 0..31 of the subdevice at once into the bits, writing none.
  virtual ComediAnswer DioReadBits(int dev, int subdev, std::uint32_t& bits) = 0;
};

}  // namespace velquor
