// Real analog-input and digital-input cards through comedilib: the driver operations built
// on the small ComediSeam, so they can be tested with a scripted library.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "daq/comedi_seam.h"
#include "daq/driver.h"

namespace velquor {

// Driver number N opens /dev/comediN; when that file does not exist, the first of
// /dev/comedi0../dev/comedi15 with a subdevice of the kind needed opens instead, and the notice
// says which. Or every open uses the one device file given. Group number G picks the G-th
// analog-input subdevice (for the A/D device) or the G-th digital subdevice, DIO or DI (for
// the digital device), counted from 1 in subdevice order.
class ComediDriver : public AcqDriver {
 public:
  static constexpr std::int32_t kAioId = 1;
  static constexpr std::int32_t kDioId = 2;
  // The device files searched when the numbered one does not exist.
  static constexpr int kSearchedDevices = 16;
  // The wait between switching the multiplexer to a channel and converting it.
  static constexpr unsigned kSettleNs = 15000;
  // The least settling time a card's conversion timer may give a paced scan.
  static constexpr unsigned kLeastSettleNs = 10000;
  // A paced read waits this long beyond two intervals for its scan before it fails.
  static constexpr int kScanMarginMs = 100;

  explicit ComediDriver(std::unique_ptr<ComediSeam> lib, std::string device_file = {});

  std::string Describe() const override;
  void SetAnalogReference(AnalogReference ref) override { reference_ = ref; }
  std::int32_t AioOpen(std::int32_t& id, std::int16_t driver_no, std::int16_t group_no) override;
  std::int32_t AioInp(std::int32_t id, AioRequest& req) override;
  std::int32_t AioClose(std::int32_t id) override;
  std::int32_t DioOpen(std::int32_t& id, std::int16_t driver_no, std::int16_t group_no) override;
  std::int32_t Dio8255Mode(std::int32_t id, std::int16_t chip, std::int16_t control) override;
  std::int32_t DioInp(std::int32_t id, DioRequest& req) override;
  std::int32_t DioClose(std::int32_t id) override;
  // A card whose analog-input subdevice runs commands (and is not on USB) is paced by its own
  // clock: one command for the whole run, a scan of channels 0 and 1 every interval with
  // the conversions kSettleNs apart. It is used only when the card keeps the interval exactly.
  bool StartPacedReads(double interval_ms) override;
  void SkipPacedScans(std::int64_t scans) override;
  void StopPacedReads() override;
  std::string LastError() const override { return last_error_; }
  std::string TakeNotice() override;

 private:
  // One open device file and the subdevice used on it.
  struct Device {
    int handle = -1;
    std::string path;
    int subdev = -1;
    int channels = 0;
    bool configurable = false;         // digital: a DIO subdevice whose channels take a direction
    std::array<int, 2> range{-1, -1};  // analog: the -10..10 V range of channels 0 and 1
    std::array<std::uint32_t, 2> maxdata{0, 0};  // analog: the largest code of channels 0, 1
    std::array<int, 2> shift{0, 0};              // analog: bits above 12 dropped, rounding
    AnalogReference reference = AnalogReference::kGround;
    bool commands = false;  // analog: runs input commands on the card's clock
    bool open() const { return handle >= 0; }
  };
  // The outcome of trying one device file.
  struct Attempt {
    std::int32_t code = 0;
    std::string why;       // empty on success
    bool missing = false;  // the file does not exist
  };

  std::int32_t Fail(std::int32_t code, std::string why);
  std::int32_t Fail(std::int32_t code, const std::string& why, const ComediAnswer& answer);
  // Fail, and for EBUSY says that another program is using the device's subdevice.
  std::int32_t FailOn(const Device& dev, std::int32_t code, const std::string& why,
                      const ComediAnswer& answer);
  // The code of a read that failed: 71Ah when the card is gone, else 714h.
  std::int32_t ReadFailed(const Device& dev, const std::string& why, const ComediAnswer& answer);
  // Opens the device (searching when the numbered file is missing); fills dev or gives a code.
  std::int32_t OpenDevice(const char* op, Device& dev, std::int16_t driver_no,
                          std::int16_t group_no, bool analog);
  // Opens one device file and finds the group's subdevice on it.
  Attempt TryDevice(const std::string& op, Device& dev, const std::string& path,
                    std::int16_t group_no, bool analog);
  std::int32_t CheckAnalogChannels(Device& dev);
  // Whether runs can be paced by the card's clock, in words for the open's note.
  std::string ChoosePacing(Device& dev);
  // The scaled code of channel `chan` as the k-th value of the request.
  std::int32_t Store(AioRequest& req, int k, int chan, std::uint32_t data);
  std::int32_t ReadPaced(AioRequest& req);
  // Makes each of the 24 lines of a DIO subdevice an input, one call per line that is not (an
  // 8255 group follows its first line, so it takes one call); `changed` names what was changed.
  std::int32_t MakeInputs(const char* op, std::string& changed);
  void Release(Device& dev);
  std::int32_t CloseDevice(const char* op, Device& dev);
  std::string Where(const Device& dev) const;
  void Note(const std::string& text);

  std::unique_ptr<ComediSeam> lib_;
  std::string device_file_;
  AnalogReference reference_ = AnalogReference::kGround;
  Device analog_;
  Device digital_;
  bool paced_ = false;                    // a command of the run is running on the A/D device
  double paced_ms_ = 0;                   // its interval
  std::int64_t skipped_ = 0;              // scans to drop before the next paced read
  std::array<std::uint32_t, 2> first_{};  // the command's first scan, read when it started
  bool have_first_ = false;               // ... and not yet handed over
  std::string last_error_;
  std::string notice_;
};

}  // namespace velquor
