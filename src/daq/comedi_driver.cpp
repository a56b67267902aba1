#include "daq/comedi_driver.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <utility>

#include "daq/dio_mode.h"

namespace velquor {
namespace {

constexpr std::uint32_t kMaxCode12 = 4095;
constexpr int kBits12 = 12;
// The digital lines of the three ports read: port p is lines 8p..8p+7.
constexpr int kPortLines = 24;

// The four groups of an 8255 that take one direction each, by their first channel.
struct PortGroup {
  int first;
  const char* name;
};
constexpr std::array<PortGroup, 4> kGroups{{{0, "port A (channels 0-7)"},
                                            {8, "port B (channels 8-15)"},
                                            {16, "port C low (channels 16-19)"},
                                            {20, "port C high (channels 20-23)"}}};

// The bit of a digital line in a read of channels 0..31.
std::uint32_t LineBit(int line) {
  return std::uint32_t{1} << line;
}

// "1-7" or "9" for the lines lo..hi.
std::string LineSpan(int lo, int hi) {
  return std::to_string(lo) + (hi > lo ? "-" + std::to_string(hi) : "");
}

// The lines made inputs, in words: an 8255 group whose lines all followed its first one is
// named as the group, every other line by its number ("port B (channels 8-15), lines 1-7").
std::string ChangedLines(std::uint32_t changed, std::uint32_t set_alone) {
  std::string groups;
  std::uint32_t single = changed;
  for (std::size_t g = 0; g < kGroups.size(); ++g) {
    const int first = kGroups.at(g).first;
    const int end = g + 1 < kGroups.size() ? kGroups.at(g + 1).first : kPortLines;
    const std::uint32_t mask = (LineBit(end) - 1) & ~(LineBit(first) - 1);
    if ((changed & mask) == mask && (set_alone & mask) == LineBit(first)) {
      groups += (groups.empty() ? "" : ", ") + std::string(kGroups.at(g).name);
      single &= ~mask;
    }
  }
  std::string spans;
  int count = 0;
  for (int line = 0; line < kPortLines; ++line) {
    if ((single & LineBit(line)) == 0) continue;
    int last = line;
    while (last + 1 < kPortLines && (single & LineBit(last + 1)) != 0) ++last;
    spans += (spans.empty() ? "" : ", ") + LineSpan(line, last);
    count += last - line + 1;
    line = last;
  }
  if (count > 0) spans = (count == 1 ? "line " : "lines ") + spans;
  if (groups.empty() || spans.empty()) return groups + spans;
  return groups + ", " + spans;
}

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

// Kernel drivers of USB cards: their scans come in USB frames, so each sample is read alone.
bool IsUsbDriver(const std::string& name) {
  return name.find("usb") != std::string::npos || name == "vmk80xx" || name == "dt9812";
}

// What the operator is told when the card answers EBUSY: it runs a command, or holds a lock,
// for another program.
std::string BusyText(const std::string& path, int subdev) {
  return "another program is using " + path +
         (subdev >= 0 ? " (its subdevice " + std::to_string(subdev) + ")" : std::string()) +
         "; fuser " + path + " shows which";
}

std::string DevicePath(int number) {
  return "/dev/comedi" + std::to_string(number);
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

std::int32_t ComediDriver::Fail(std::int32_t code, const std::string& why,
                                const ComediAnswer& answer) {
  const ComediFailure& f = answer.failure;
  return Fail(code, why + ": " + (f.text.empty() ? "error " + std::to_string(f.number) : f.text));
}

std::int32_t ComediDriver::FailOn(const Device& dev, std::int32_t code, const std::string& why,
                                  const ComediAnswer& answer) {
  Fail(code, why, answer);
  if (answer.failure.number == EBUSY) last_error_ += "; " + BusyText(dev.path, dev.subdev);
  return code;
}

std::int32_t ComediDriver::ReadFailed(const Device& dev, const std::string& why,
                                      const ComediAnswer& answer) {
  // A card that has gone away (a USB card unplugged, its driver detached) gets a code of its
  // own: nothing on that device works until it is opened again. A scan that does not come,
  // or an I/O error, may be that too: the device is asked whether it is still there.
  if (MeansCardGone(answer.failure.number)) return Fail(daq_code::kDeviceGone, why, answer);
  const ComediAnswer there = lib_->StillThere(dev.handle, dev.subdev);
  if (!there.ok() && MeansCardGone(there.failure.number)) {
    const ComediFailure& f = answer.failure;
    return Fail(daq_code::kDeviceGone,
                why + ": " + (f.text.empty() ? "error " + std::to_string(f.number) : f.text) +
                    ", and the device no longer answers",
                there);
  }
  return FailOn(dev, daq_code::kReadFailed, why, answer);
}

void ComediDriver::Note(const std::string& text) {
  notice_ += (notice_.empty() ? "" : "; ") + text;
}

std::string ComediDriver::TakeNotice() {
  return std::exchange(notice_, {});
}

std::string ComediDriver::Where(const Device& dev) const {
  if (&dev == &analog_) {
    return "analog-input subdevice " + std::to_string(dev.subdev) + " on " + dev.path + " (" +
           ReferenceName(dev.reference) + ")";
  }
  return "digital subdevice " + std::to_string(dev.subdev) + " on " + dev.path;
}

void ComediDriver::Release(Device& dev) {
  if (dev.open()) lib_->Close(dev.handle);
  dev = Device{};
}

ComediDriver::Attempt ComediDriver::TryDevice(const std::string& op, Device& dev,
                                              const std::string& path, std::int16_t group_no,
                                              bool analog) {
  Release(dev);
  dev.path = path;
  const ComediAnswer opened = lib_->Open(path);
  if (!opened.ok()) {
    const int n = opened.failure.number;
    std::string hint;
    if (n == EACCES || n == EPERM) {
      hint = " (the user must be a member of the group that owns the device, usually iocard)";
    } else if (n == ENOTTY) {
      hint = " (the file is not a comedi device)";
    } else if (n == EBUSY) {
      hint = " (" + BusyText(path, -1) + ")";
    } else if (n == ENODEV || n == ENXIO) {
      hint =
          " (the device file exists but no driver is attached to it, or its card is gone; "
          "attach a card that is not plug-and-play with sudo comedi_config " +
          path + " <driver> <io-base>)";
    }
    const bool missing = n == ENOENT || n == ENODEV || n == ENXIO;
    dev = Device{};
    return {missing ? daq_code::kNoSuchDevice : daq_code::kOpenFailed,
            op + ": cannot open " + path + ": " + opened.failure.text + hint, missing};
  }
  dev.handle = static_cast<int>(opened.value);
  dev.reference = reference_;
  const ComediAnswer count = lib_->SubdeviceCount(dev.handle);
  if (!count.ok()) {
    Fail(daq_code::kOpenFailed, op + ": cannot list the subdevices of " + path, count);
    Release(dev);
    return {daq_code::kOpenFailed, last_error_, false};
  }
  int seen = 0;
  for (int s = 0; s < count.value; ++s) {
    const SubdeviceKind kind = lib_->Kind(dev.handle, s);
    const bool fits = analog
                          ? kind == SubdeviceKind::kAnalogIn
                          : kind == SubdeviceKind::kDigitalIo || kind == SubdeviceKind::kDigitalIn;
    if (!fits || ++seen != group_no) continue;
    dev.subdev = s;
    dev.configurable = kind == SubdeviceKind::kDigitalIo;
    const ComediAnswer channels = lib_->ChannelCount(dev.handle, s);
    if (!channels.ok()) {
      Fail(daq_code::kOpenFailed, op + ": cannot count the channels of " + Where(dev), channels);
      Release(dev);
      return {daq_code::kOpenFailed, last_error_, false};
    }
    dev.channels = static_cast<int>(channels.value);
    return {};
  }
  const std::string kind_name = analog ? "analog-input" : "digital (DIO or DI)";
  Release(dev);
  return {daq_code::kNoSuchDevice,
          op + ": group number " + std::to_string(group_no) + " names no " + kind_name +
              " subdevice of " + path + ": it has " + std::to_string(seen) + ", counted from 1",
          false};
}

std::int32_t ComediDriver::OpenDevice(const char* op, Device& dev, std::int16_t driver_no,
                                      std::int16_t group_no, bool analog) {
  const std::string name = op;
  if (!device_file_.empty()) {
    const Attempt a = TryDevice(name, dev, device_file_, group_no, analog);
    return a.code == daq_code::kOk ? daq_code::kOk : Fail(a.code, a.why);
  }
  if (driver_no < 0) {
    Release(dev);
    return Fail(daq_code::kNoSuchDevice,
                name + ": driver number " + std::to_string(driver_no) +
                    " names no device (driver number N opens /dev/comediN)");
  }
  const std::string numbered = DevicePath(driver_no);
  const Attempt first = TryDevice(name, dev, numbered, group_no, analog);
  if (first.code == daq_code::kOk || !first.missing) {
    return first.code == daq_code::kOk ? daq_code::kOk : Fail(first.code, first.why);
  }
  // No card behind the numbered file: the first device with the subdevice needed opens.
  const std::string wanted = analog ? "an analog-input subdevice" : "a digital subdevice";
  std::string unusable;
  for (int k = 0; k < kSearchedDevices; ++k) {
    const std::string path = DevicePath(k);
    if (path == numbered) continue;
    const Attempt a = TryDevice(name, dev, path, group_no, analog);
    if (a.code == daq_code::kOk) {
      Note(name + ": no card at " + numbered + "; " + path + " is the first with " + wanted);
      return daq_code::kOk;
    }
    if (!a.missing && unusable.empty()) unusable = " (" + a.why + ")";
  }
  return Fail(first.code, first.why + "; and no other of /dev/comedi0../dev/comedi" +
                              std::to_string(kSearchedDevices - 1) + " has " + wanted +
                              " that can be used" + unusable);
}

std::int32_t ComediDriver::CheckAnalogChannels(Device& dev) {
  if (dev.channels < 2) {
    return Fail(daq_code::kConfigFailed, "AioOpen: " + Where(dev) + " has " +
                                             std::to_string(dev.channels) +
                                             " channel(s); channels 0 and 1 are read");
  }
  const ComediAnswer refs = lib_->References(dev.handle, dev.subdev);
  if (!refs.ok()) {
    return Fail(daq_code::kConfigFailed, "AioOpen: cannot read the references of " + Where(dev),
                refs);
  }
  std::string offered;
  int offers = 0;
  AnalogReference only = dev.reference;
  for (AnalogReference r : kAnalogReferences) {
    if ((refs.value & ReferenceBit(r)) == 0) continue;
    offered += (offered.empty() ? "" : ", ") + std::string(ReferenceName(r));
    ++offers;
    only = r;
  }
  std::string reference_note;
  if ((refs.value & ReferenceBit(dev.reference)) == 0) {
    if (offers != 1) {
      return Fail(
          daq_code::kConfigFailed,
          "AioOpen: " + Where(dev) + " cannot measure against " + ReferenceName(dev.reference) +
              " (it offers " +
              (offered.empty() ? std::string("none of GND, COMMON, DIFF and OTHER") : offered) +
              "); set the A/D Reference on Card Setting");
    }
    // The one reference the card has is the one its inputs are wired for.
    reference_note = std::string(", the only reference it offers, not ") +
                     ReferenceName(dev.reference) + " as the A/D Reference box says";
    dev.reference = only;
  }
  for (std::size_t chan = 0; chan < 2; ++chan) {
    const int c = static_cast<int>(chan);
    const std::string where = "AioOpen: channel " + std::to_string(c) + " of " + Where(dev);
    const ComediAnswer n = lib_->RangeCount(dev.handle, dev.subdev, c);
    if (!n.ok()) return Fail(daq_code::kConfigFailed, where + ": cannot list its ranges", n);
    std::string offered;
    for (int r = 0; r < n.value && dev.range.at(chan) < 0; ++r) {
      const auto range = lib_->Range(dev.handle, dev.subdev, c, r);
      if (!range) continue;
      if (IsPlusMinusTenVolts(*range)) {
        dev.range.at(chan) = r;
      } else {
        offered += (offered.empty() ? "" : ", ") + RangeText(*range);
      }
    }
    if (dev.range.at(chan) < 0) {
      return Fail(daq_code::kRangeUnavailable,
                  where + " has no -10..10 V input range (it offers " +
                      (offered.empty() ? std::string("none") : offered) + ")");
    }
    const ComediAnswer max = lib_->MaxData(dev.handle, dev.subdev, c);
    if (!max.ok())
      return Fail(daq_code::kConfigFailed, where + ": cannot read its resolution", max);
    // Codes 0..2^n - 1 with n >= 12 scale to 12 bits; anything else is no binary converter.
    const auto top = static_cast<std::uint64_t>(max.value);
    const int bits = std::bit_width(top);
    if (bits < kBits12 || bits > 32 || (top & (top + 1)) != 0) {
      return Fail(daq_code::kResolutionMismatch,
                  where + " gives codes 0.." + std::to_string(top) +
                      "; the program needs n-bit codes (0..2^n-1) with n of 12 or more");
    }
    dev.maxdata.at(chan) = static_cast<std::uint32_t>(top);
    dev.shift.at(chan) = bits - kBits12;
  }
  const int shift = std::max(dev.shift[0], dev.shift[1]);
  Note("A/D: subdevice " + std::to_string(dev.subdev) + " of " + dev.path + " (" +
       ReferenceName(dev.reference) + reference_note + "), " +
       (shift == 0 ? std::string("12-bit codes")
                   : std::to_string(shift + kBits12) + "-bit codes rounded to 12 bits") +
       ", " + ChoosePacing(dev));
  return daq_code::kOk;
}

std::string ComediDriver::ChoosePacing(Device& dev) {
  const std::string per_sample = "samples read one by one on the program's clock";
  const std::string name = lib_->DriverName(dev.handle);
  if (IsUsbDriver(name)) return per_sample + " (USB card, driver " + name + ")";
  const ComediAnswer takes = lib_->TakesCommands(dev.handle, dev.subdev);
  if (!takes.ok() || takes.value == 0) return per_sample + " (the subdevice runs no commands)";
  dev.commands = true;
  return "runs paced by the card's clock where it keeps the interval exactly";
}

std::int32_t ComediDriver::CloseDevice(const char* op, Device& dev) {
  const std::string path = dev.path;
  const ComediAnswer closed = lib_->Close(dev.handle);
  dev = Device{};
  if (!closed.ok())
    return Fail(daq_code::kCloseFailed, std::string(op) + ": closing " + path, closed);
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
    // Composed only for a failure: a read that succeeds builds no text.
    auto what = [this, chan] {
      return "AioInp: channel " + std::to_string(chan) + " of " + Where(analog_);
    };
    if (chan < 0 || chan > 1) {
      return Fail(daq_code::kConfigFailed,
                  what() + " was not set up at open (channels 0 and 1 are)");
    }
    if (paced_) continue;
    std::uint32_t data = 0;
    // The multiplexer settles on the channel before the conversion, so the channel read
    // before it does not bleed into it.
    const ComediAnswer got = lib_->ReadSettled(analog_.handle, analog_.subdev, chan,
                                               analog_.range.at(static_cast<std::size_t>(chan)),
                                               analog_.reference, kSettleNs, data);
    if (!got.ok()) return ReadFailed(analog_, what() + " could not be read", got);
    if (const std::int32_t code = Store(req, k, chan, data); code != daq_code::kOk) return code;
  }
  return paced_ ? ReadPaced(req) : daq_code::kOk;
}

std::int32_t ComediDriver::Store(AioRequest& req, int k, int chan, std::uint32_t data) {
  const auto c = static_cast<std::size_t>(chan);
  if (data > analog_.maxdata.at(c)) {
    return Fail(daq_code::kReadFailed, "AioInp: channel " + std::to_string(chan) + " of " +
                                           Where(analog_) + " gave code " + std::to_string(data) +
                                           ", above its largest " +
                                           std::to_string(analog_.maxdata.at(c)));
  }
  const int shift = analog_.shift.at(c);
  const std::uint64_t half = shift > 0 ? std::uint64_t{1} << (shift - 1) : 0;
  const std::uint64_t code = std::min<std::uint64_t>((data + half) >> shift, kMaxCode12);
  (*req.AiData).at(static_cast<std::size_t>(k)) = static_cast<std::uint16_t>(code);
  return daq_code::kOk;
}

std::int32_t ComediDriver::ReadPaced(AioRequest& req) {
  // A scan comes every interval; two intervals and a margin without one is a stopped card.
  const int timeout = static_cast<int>(2 * paced_ms_) + kScanMarginMs;
  std::array<std::uint32_t, 2> codes = first_;
  // Scans of ticks the run passed over come first: they are read and dropped. The first scan,
  // read when the command started, is the first tick's.
  std::int64_t reads = std::max<std::int64_t>(skipped_, 0) + 1;
  skipped_ = 0;
  if (have_first_) {
    have_first_ = false;
    --reads;
  }
  for (std::int64_t r = 0; r < reads; ++r) {
    const ComediAnswer got = lib_->ReadScan(analog_.handle, timeout, codes);
    if (!got.ok()) {
      return ReadFailed(analog_,
                        "AioInp: waiting for the next scan (one every " + Num(paced_ms_) +
                            " ms) of " + Where(analog_),
                        got);
    }
  }
  const int count = std::clamp<int>(req.ChannelCount, 0, 2);
  for (int k = 0; k < count; ++k) {
    const int chan = (*req.ChannelList).at(static_cast<std::size_t>(k));
    const std::int32_t code = Store(req, k, chan, codes.at(static_cast<std::size_t>(chan)));
    if (code != daq_code::kOk) return code;
  }
  return daq_code::kOk;
}

bool ComediDriver::StartPacedReads(double interval_ms) {
  if (!analog_.open() || !analog_.commands || paced_) return false;
  const double ns = interval_ms * 1e6;
  const std::string intro = "A/D: " + Where(analog_) + " ";
  const std::string fallback = ": samples are read one by one on the program's clock";
  if (!(ns >= 1e6 && ns <= 4e9) || ns != std::floor(ns)) {
    Note(intro + "cannot time a scan every " + Num(interval_ms) + " ms" + fallback);
    return false;
  }
  const auto asked = static_cast<std::uint32_t>(ns);
  ScanCommand cmd{analog_.range, analog_.reference, asked, kSettleNs};
  const int h = analog_.handle;
  const int s = analog_.subdev;
  CommandCheck check = lib_->CheckCommand(h, s, cmd);
  // A card that adjusted its timers is asked again with them, as it may adjust in steps.
  if (check == CommandCheck::kAdjusted) check = lib_->CheckCommand(h, s, cmd);
  std::string why;
  if (check != CommandCheck::kAccepted) {
    why = "cannot run a timed scan of channels 0 and 1";
  } else if (cmd.scan_ns != asked) {
    why = "cannot keep " + Num(interval_ms) + " ms exactly (its clock gives " +
          Num(cmd.scan_ns / 1e6) + " ms)";
  } else if (cmd.convert_ns < kLeastSettleNs || std::uint64_t{cmd.convert_ns} * 2 > asked) {
    why = "converts channel 1 " + Num(cmd.convert_ns / 1e3) +
          " us after channel 0, which does not let the multiplexer settle within the scan";
  }
  if (why.empty()) {
    const ComediAnswer started = lib_->StartCommand(h, s, cmd);
    if (!started.ok()) {
      why = "did not start its command (" + started.failure.text +
            (started.failure.number == EBUSY ? "; " + BusyText(analog_.path, s) : "") + ")";
    } else {
      // A card that gives no first scan is read sample by sample; the first scan is kept
      // for the run's first tick.
      const ComediAnswer got =
          lib_->ReadScan(h, static_cast<int>(2 * interval_ms) + kScanMarginMs, first_);
      if (!got.ok()) {
        lib_->Cancel(h, s);
        why = "started its command but gave no scan (" + got.failure.text + ")";
      }
    }
  }
  if (!why.empty()) {
    Note(intro + why + fallback);
    return false;
  }
  paced_ = true;
  paced_ms_ = interval_ms;
  skipped_ = 0;
  have_first_ = true;
  return true;
}

void ComediDriver::SkipPacedScans(std::int64_t scans) {
  if (paced_ && scans > 0) skipped_ += scans;
}

void ComediDriver::StopPacedReads() {
  if (!paced_) return;
  paced_ = false;
  skipped_ = 0;
  have_first_ = false;
  const ComediAnswer cancelled = lib_->Cancel(analog_.handle, analog_.subdev);
  // A card that is gone has nothing left to cancel; the failed read said so already.
  if (!cancelled.ok() && !MeansCardGone(cancelled.failure.number)) {
    Note("A/D: the command on " + Where(analog_) + " could not be cancelled (" +
         cancelled.failure.text + ")");
  }
}

std::int32_t ComediDriver::AioClose(std::int32_t id) {
  if (id != kAioId || !analog_.open()) {
    return Fail(daq_code::kNotOpen, "AioClose: the A/D device is not open");
  }
  StopPacedReads();
  return CloseDevice("AioClose", analog_);
}

std::int32_t ComediDriver::MakeInputs(const char* op, std::string& changed) {
  // A DI subdevice is input only.
  if (!digital_.configurable) return daq_code::kOk;
  const int h = digital_.handle;
  const int s = digital_.subdev;
  const int lines = std::min(digital_.channels, kPortLines);
  // Directions outlive the program: a line left an output reads back its last written bit.
  // Some cards set a direction per line, an 8255 per group: each line is asked.
  std::uint32_t was_output = 0;
  std::uint32_t unknown = 0;  // lines whose direction the driver cannot tell
  for (int line = 0; line < lines; ++line) {
    const ComediAnswer dir = lib_->DioIsOutput(h, s, line);
    if (!dir.ok()) {
      unknown |= LineBit(line);
    } else if (dir.value != 0) {
      was_output |= LineBit(line);
    }
  }
  std::uint32_t set_alone = 0;  // lines given their direction by a call of their own
  for (int line = 0; line < lines; ++line) {
    const std::uint32_t bit = LineBit(line);
    if (((was_output | unknown) & bit) == 0) continue;
    if ((was_output & bit) != 0) {
      // On an 8255 the line may have followed a line of its group made an input before it.
      const ComediAnswer dir = lib_->DioIsOutput(h, s, line);
      if (dir.ok() && dir.value == 0) continue;
    }
    const std::string what =
        std::string(op) + ": line " + std::to_string(line) + " of " + Where(digital_);
    const ComediAnswer set = lib_->DioConfigInput(h, s, line);
    if (!set.ok())
      return FailOn(digital_, daq_code::kConfigFailed, what + " cannot be made an input", set);
    set_alone |= bit;
    if ((unknown & bit) != 0) continue;  // the driver cannot tell; it was set all the same
    const ComediAnswer now = lib_->DioIsOutput(h, s, line);
    if (!now.ok() || now.value != 0) {
      return Fail(daq_code::kConfigFailed, what + " stays an output after it was made an input");
    }
  }
  changed = ChangedLines(was_output, set_alone);
  return daq_code::kOk;
}

std::int32_t ComediDriver::DioOpen(std::int32_t& id, std::int16_t driver_no,
                                   std::int16_t group_no) {
  id = 0;
  std::int32_t code = OpenDevice("DioOpen", digital_, driver_no, group_no, false);
  std::string changed;
  if (code == daq_code::kOk) code = MakeInputs("DioOpen", changed);
  if (code != daq_code::kOk) {
    Release(digital_);
    return code;
  }
  if (!changed.empty()) Note("DioOpen: " + changed + " of " + Where(digital_) + " made inputs");
  id = kDioId;
  return daq_code::kOk;
}

std::int32_t ComediDriver::Dio8255Mode(std::int32_t id, std::int16_t chip, std::int16_t control) {
  if (id != kDioId || !digital_.open()) {
    return Fail(daq_code::kNotOpen, "Dio8255Mode: the DIO device is not open");
  }
  if (!IsAllInputsMode(chip, control))
    return Fail(daq_code::kUnsupportedMode, ModeRefusal(chip, control));
  std::string changed;
  const std::int32_t code = MakeInputs("Dio8255Mode", changed);
  if (!changed.empty()) Note("Dio8255Mode: " + changed + " of " + Where(digital_) + " made inputs");
  return code;
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
  const ComediAnswer got = lib_->DioReadBits(digital_.handle, digital_.subdev, bits);
  if (!got.ok()) return ReadFailed(digital_, "DioInp: reading " + Where(digital_) + " failed", got);
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
