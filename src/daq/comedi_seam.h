// The handful of comedilib calls the card backend makes, as a small interface: the library
// binding implements it with the real calls, tests script it. Handles stand for open devices.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace velquor {

// The subdevice types the backend looks for; every other type is kOther.
enum class SubdeviceKind { kAnalogIn, kDigitalIn, kDigitalIo, kOther };

struct ComediRange {
  double min = 0;
  double max = 0;
  bool volts = false;  // the unit is volts (not mA or a raw unit)
};

// What the library said about its last failure: its error number and text.
struct ComediFailure {
  int number = 0;
  std::string text;
};

class ComediSeam {
 public:
  virtual ~ComediSeam() = default;

  // Opens a device file: a handle >= 0, or -1.
  virtual int Open(const std::string& path) = 0;
  // 0, or -1.
  virtual int Close(int dev) = 0;
  // The number of subdevices, or -1.
  virtual int SubdeviceCount(int dev) = 0;
  virtual SubdeviceKind Kind(int dev, int subdev) = 0;
  // The number of channels of the subdevice, or -1.
  virtual int ChannelCount(int dev, int subdev) = 0;
  // The number of input ranges of the channel, or -1.
  virtual int RangeCount(int dev, int subdev, int chan) = 0;
  virtual std::optional<ComediRange> Range(int dev, int subdev, int chan, int range) = 0;
  // The largest code the channel gives, 0 on failure.
  virtual std::uint32_t MaxData(int dev, int subdev, int chan) = 0;
  // One sample of the channel, referenced to ground: the number of samples read (1), or -1.
  virtual int DataRead(int dev, int subdev, int chan, int range, std::uint32_t& data) = 0;
  // Makes the channel an input: not negative on success, -1 on failure.
  virtual int DioConfigInput(int dev, int subdev, int chan) = 0;
  // Reads channels 0..31 of the subdevice at once into the bits, writing none: 0, or -1.
  virtual int DioReadBits(int dev, int subdev, std::uint32_t& bits) = 0;
  // The library's error number and text for its last failure.
  virtual ComediFailure LastFailure() = 0;
};

}  // namespace velquor
