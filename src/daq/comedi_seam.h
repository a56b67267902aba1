// The handful of comedilib calls the card backend makes, as a small interface: the library
// binding implements it with the real calls, tests script it. Handles stand for open devices.
#pragma once

#include <array>
#include <cerrno>
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

// Error numbers the kernel gives for a card that is gone (its driver detached, a USB card
// unplugged); EIO may also be a card that is still there and failed once.
inline bool MeansCardGone(int number) {
  return number == ENODEV || number == ENXIO;
}
inline bool MayMeanCardGone(int number) {
  return MeansCardGone(number) || number == EIO;
}

// The bit of AnalogReference r in the value References gives.
constexpr std::int64_t ReferenceBit(AnalogReference r) {
  return std::int64_t{1} << static_cast<int>(r);
}

// A command that samples channels 0 and 1 of an analog-input subdevice, scan after scan, until
// cancelled: a scan starts every scan_ns on the card's clock and its second conversion follows
// the first by convert_ns, the time the multiplexer is given to settle.
struct ScanCommand {
  std::array<int, 2> range{0, 0};
  AnalogReference reference = AnalogReference::kGround;
  std::uint32_t scan_ns = 0;
  std::uint32_t convert_ns = 0;
};

// What the card said of a command it was asked to check.
enum class CommandCheck {
  kAccepted,  // as it was asked
  kAdjusted,  // the timers were changed to what the card can do (the command holds them now)
  kRefused,   // the card cannot run such a command at all (trigger sources or channel list)
};

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

  // The name of the kernel driver behind the device ("ni_pcimio", "usbdux").
  virtual std::string DriverName(int dev) = 0;
  // The value is 1 when the subdevice runs input commands on its own clock, else 0.
  virtual ComediAnswer TakesCommands(int dev, int subdev) = 0;
  // Asks the card whether it can run the command; an adjusted one holds the card's timers.
  virtual CommandCheck CheckCommand(int dev, int subdev, ScanCommand& cmd) = 0;
  // Starts the command; its scans are then read with ReadScan until Cancel.
  virtual ComediAnswer StartCommand(int dev, int subdev, const ScanCommand& cmd) = 0;
  // Waits up to timeout_ms for the next whole scan of the running command and gives its two
  // codes (the value is 1); a scan that has not come fails with ETIMEDOUT.
  virtual ComediAnswer ReadScan(int dev, int timeout_ms, std::array<std::uint32_t, 2>& codes) = 0;
  // Stops the command and drops the scans not yet read.
  virtual ComediAnswer Cancel(int dev, int subdev) = 0;
  // A cheap call that reaches the driver: it fails (ENODEV) once the card is gone.
  virtual ComediAnswer StillThere(int dev, int subdev) = 0;
};

}  // namespace velquor
