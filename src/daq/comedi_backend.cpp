#include "daq/comedi_backend.h"

#include <comedilib.h>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <chrono>
#include <cstddef>
#include <cstring>
#include <vector>

namespace velquor {
namespace {

// The library's analog reference.
unsigned Aref(AnalogReference r) {
  switch (r) {
    case AnalogReference::kGround:
      return AREF_GROUND;
    case AnalogReference::kDifferential:
      return AREF_DIFF;
    case AnalogReference::kCommon:
      return AREF_COMMON;
    case AnalogReference::kOther:
      return AREF_OTHER;
  }
  return AREF_GROUND;
}

// The command of a ScanCommand; `chanlist` must outlive it.
comedi_cmd BuildCommand(int subdev, const ScanCommand& scan, std::array<unsigned, 2>& chanlist) {
  const unsigned aref = Aref(scan.reference);
  for (unsigned chan = 0; chan < 2; ++chan) {
    chanlist.at(chan) = CR_PACK(chan, static_cast<unsigned>(scan.range.at(chan)), aref);
  }
  comedi_cmd cmd{};
  cmd.subdev = static_cast<unsigned>(subdev);
  // Each scan is handed over as soon as it is converted; timers the card cannot give exactly
  // are rounded up, so the multiplexer never gets less time to settle than was asked.
  cmd.flags = TRIG_WAKE_EOS | TRIG_ROUND_UP;
  cmd.start_src = TRIG_NOW;
  cmd.scan_begin_src = TRIG_TIMER;
  cmd.scan_begin_arg = scan.scan_ns;
  cmd.convert_src = TRIG_TIMER;
  cmd.convert_arg = scan.convert_ns;
  cmd.scan_end_src = TRIG_COUNT;
  cmd.scan_end_arg = 2;
  cmd.stop_src = TRIG_NONE;
  cmd.chanlist = chanlist.data();
  cmd.chanlist_len = 2;
  return cmd;
}

ComediFailure FromErrno(int number) {
  return {number, std::strerror(number)};
}

class ComediLibrary : public ComediSeam {
 public:
  ComediLibrary() {
    // Codes 0 and maxdata are numbers, not NaN, in every conversion the library makes.
    comedi_set_global_oor_behavior(COMEDI_OOR_NUMBER);
  }
  ComediLibrary(const ComediLibrary&) = delete;
  ComediLibrary& operator=(const ComediLibrary&) = delete;
  ~ComediLibrary() override {
    for (comedi_t* dev : devices_) {
      if (dev != nullptr) comedi_close(dev);
    }
  }

  ComediAnswer Open(const std::string& path) override {
    comedi_t* dev = comedi_open(path.c_str());
    if (dev == nullptr) return Answer(-1);
    for (std::size_t i = 0; i < devices_.size(); ++i) {
      if (devices_[i] == nullptr) {
        devices_[i] = dev;
        return {static_cast<std::int64_t>(i), {}};
      }
    }
    devices_.push_back(dev);
    streams_.emplace_back();
    return {static_cast<std::int64_t>(devices_.size() - 1), {}};
  }

  ComediAnswer Close(int handle) override {
    comedi_t* dev = At(handle);
    if (dev == nullptr) return NoDevice();
    devices_[static_cast<std::size_t>(handle)] = nullptr;
    streams_.at(static_cast<std::size_t>(handle)) = Stream{};
    return Answer(comedi_close(dev));
  }

  ComediAnswer SubdeviceCount(int handle) override {
    comedi_t* dev = At(handle);
    return dev == nullptr ? NoDevice() : Answer(comedi_get_n_subdevices(dev));
  }

  SubdeviceKind Kind(int handle, int subdev) override {
    comedi_t* dev = At(handle);
    if (dev == nullptr || subdev < 0) return SubdeviceKind::kOther;
    switch (comedi_get_subdevice_type(dev, static_cast<unsigned>(subdev))) {
      case COMEDI_SUBD_AI:
        return SubdeviceKind::kAnalogIn;
      case COMEDI_SUBD_DI:
        return SubdeviceKind::kDigitalIn;
      case COMEDI_SUBD_DIO:
        return SubdeviceKind::kDigitalIo;
      default:
        return SubdeviceKind::kOther;
    }
  }

  ComediAnswer ChannelCount(int handle, int subdev) override {
    comedi_t* dev = At(handle);
    if (dev == nullptr || subdev < 0) return NoDevice();
    return Answer(comedi_get_n_channels(dev, static_cast<unsigned>(subdev)));
  }

  ComediAnswer References(int handle, int subdev) override {
    comedi_t* dev = At(handle);
    if (dev == nullptr || subdev < 0) return NoDevice();
    const int flags = comedi_get_subdevice_flags(dev, static_cast<unsigned>(subdev));
    if (flags < 0) return Answer(flags);
    std::int64_t refs = 0;
    if ((flags & SDF_GROUND) != 0) refs |= ReferenceBit(AnalogReference::kGround);
    if ((flags & SDF_DIFF) != 0) refs |= ReferenceBit(AnalogReference::kDifferential);
    if ((flags & SDF_COMMON) != 0) refs |= ReferenceBit(AnalogReference::kCommon);
    if ((flags & SDF_OTHER) != 0) refs |= ReferenceBit(AnalogReference::kOther);
    return {refs, {}};
  }

  ComediAnswer RangeCount(int handle, int subdev, int chan) override {
    comedi_t* dev = At(handle);
    if (dev == nullptr || subdev < 0 || chan < 0) return NoDevice();
    return Answer(
        comedi_get_n_ranges(dev, static_cast<unsigned>(subdev), static_cast<unsigned>(chan)));
  }

  std::optional<ComediRange> Range(int handle, int subdev, int chan, int range) override {
    comedi_t* dev = At(handle);
    if (dev == nullptr || subdev < 0 || chan < 0 || range < 0) return std::nullopt;
    const comedi_range* r =
        comedi_get_range(dev, static_cast<unsigned>(subdev), static_cast<unsigned>(chan),
                         static_cast<unsigned>(range));
    if (r == nullptr) return std::nullopt;
    return ComediRange{r->min, r->max, r->unit == UNIT_volt};
  }

  ComediAnswer MaxData(int handle, int subdev, int chan) override {
    comedi_t* dev = At(handle);
    if (dev == nullptr || subdev < 0 || chan < 0) return NoDevice();
    const lsampl_t max =
        comedi_get_maxdata(dev, static_cast<unsigned>(subdev), static_cast<unsigned>(chan));
    return max == 0 ? Answer(-1) : ComediAnswer{max, {}};
  }

  ComediAnswer ReadSettled(int handle, int subdev, int chan, int range, AnalogReference ref,
                           unsigned settle_ns, std::uint32_t& data) override {
    comedi_t* dev = At(handle);
    if (dev == nullptr || subdev < 0 || chan < 0 || range < 0) return NoDevice();
    lsampl_t sample = 0;
    const unsigned aref = Aref(ref);
    // The kernel waits in whole microseconds, rounded up, and refuses waits of 100 µs or more.
    const ComediAnswer got = Answer(
        comedi_data_read_delayed(dev, static_cast<unsigned>(subdev), static_cast<unsigned>(chan),
                                 static_cast<unsigned>(range), aref, &sample, settle_ns));
    data = sample;
    return got;
  }

  ComediAnswer DioIsOutput(int handle, int subdev, int chan) override {
    comedi_t* dev = At(handle);
    if (dev == nullptr || subdev < 0 || chan < 0) return NoDevice();
    unsigned direction = COMEDI_INPUT;
    const ComediAnswer got = Answer(comedi_dio_get_config(dev, static_cast<unsigned>(subdev),
                                                          static_cast<unsigned>(chan), &direction));
    if (!got.ok()) return got;
    return {direction == COMEDI_OUTPUT ? 1 : 0, {}};
  }

  ComediAnswer DioConfigInput(int handle, int subdev, int chan) override {
    comedi_t* dev = At(handle);
    if (dev == nullptr || subdev < 0 || chan < 0) return NoDevice();
    return Answer(comedi_dio_config(dev, static_cast<unsigned>(subdev), static_cast<unsigned>(chan),
                                    COMEDI_INPUT));
  }

  ComediAnswer DioReadBits(int handle, int subdev, std::uint32_t& bits) override {
    comedi_t* dev = At(handle);
    if (dev == nullptr || subdev < 0) return NoDevice();
    unsigned int value = 0;
    const ComediAnswer got =
        Answer(comedi_dio_bitfield2(dev, static_cast<unsigned>(subdev), 0, &value, 0));
    bits = value;
    return got;
  }

  std::string DriverName(int handle) override {
    comedi_t* dev = At(handle);
    const char* name = dev != nullptr ? comedi_get_driver_name(dev) : nullptr;
    return name != nullptr ? name : "";
  }

  ComediAnswer TakesCommands(int handle, int subdev) override {
    comedi_t* dev = At(handle);
    if (dev == nullptr || subdev < 0) return NoDevice();
    const int flags = comedi_get_subdevice_flags(dev, static_cast<unsigned>(subdev));
    if (flags < 0) return Answer(flags);
    return {(flags & SDF_CMD_READ) != 0 ? 1 : 0, {}};
  }

  CommandCheck CheckCommand(int handle, int subdev, ScanCommand& scan) override {
    comedi_t* dev = At(handle);
    if (dev == nullptr || subdev < 0) return CommandCheck::kRefused;
    std::array<unsigned, 2> chanlist{};
    comedi_cmd cmd = BuildCommand(subdev, scan, chanlist);
    const comedi_cmd asked = cmd;
    // 0: as asked; 3 and 4: arguments changed to what the card can do; else refused.
    const int stage = comedi_command_test(dev, &cmd);
    if (stage == 0) return CommandCheck::kAccepted;
    const bool same_shape = cmd.start_src == asked.start_src && cmd.start_arg == asked.start_arg &&
                            cmd.scan_begin_src == asked.scan_begin_src &&
                            cmd.convert_src == asked.convert_src &&
                            cmd.scan_end_arg == asked.scan_end_arg &&
                            cmd.stop_src == asked.stop_src && cmd.stop_arg == asked.stop_arg;
    if ((stage != 3 && stage != 4) || !same_shape) return CommandCheck::kRefused;
    scan.scan_ns = cmd.scan_begin_arg;
    scan.convert_ns = cmd.convert_arg;
    return CommandCheck::kAdjusted;
  }

  ComediAnswer StartCommand(int handle, int subdev, const ScanCommand& scan) override {
    comedi_t* dev = At(handle);
    if (dev == nullptr || subdev < 0) return NoDevice();
    // The device file gives the scans of its read subdevice.
    if (comedi_get_read_subdevice(dev) != subdev) {
      const ComediAnswer set =
          Answer(comedi_set_read_subdevice(dev, static_cast<unsigned>(subdev)));
      if (!set.ok()) return set;
    }
    const int flags = comedi_get_subdevice_flags(dev, static_cast<unsigned>(subdev));
    if (flags < 0) return Answer(flags);
    std::array<unsigned, 2> chanlist{};
    comedi_cmd cmd = BuildCommand(subdev, scan, chanlist);
    const ComediAnswer started = Answer(comedi_command(dev, &cmd));
    if (!started.ok()) return started;
    Stream& stream = streams_.at(static_cast<std::size_t>(handle));
    stream = Stream{};
    stream.subdev = subdev;
    stream.sample_bytes = (flags & SDF_LSAMPL) != 0 ? sizeof(lsampl_t) : sizeof(sampl_t);
    // Reads never block: poll() waits, with a timeout.
    const int fd = comedi_fileno(dev);
    stream.blocking_flags = fcntl(fd, F_GETFL);
    if (stream.blocking_flags < 0 || fcntl(fd, F_SETFL, stream.blocking_flags | O_NONBLOCK) < 0) {
      const int number = errno;
      comedi_cancel(dev, static_cast<unsigned>(subdev));
      return {-1, FromErrno(number)};
    }
    return {0, {}};
  }

  ComediAnswer ReadScan(int handle, int timeout_ms, std::array<std::uint32_t, 2>& codes) override {
    comedi_t* dev = At(handle);
    if (dev == nullptr || streams_.at(static_cast<std::size_t>(handle)).subdev < 0) {
      return NoDevice();
    }
    Stream& stream = streams_.at(static_cast<std::size_t>(handle));
    const std::size_t scan_bytes = 2 * stream.sample_bytes;
    const int fd = comedi_fileno(dev);
    using Clock = std::chrono::steady_clock;
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeout_ms);
    bool nudged = false;
    while (stream.have < scan_bytes) {
      const auto left =
          std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
      if (left <= 0) {
        return {-1, {ETIMEDOUT, "no scan came within " + std::to_string(timeout_ms) + " ms"}};
      }
      // Halfway, a card that holds converted scans in its FIFO is asked to hand them over.
      pollfd wait{fd, POLLIN, 0};
      const int ready = poll(&wait, 1, static_cast<int>(nudged ? left : (left + 1) / 2));
      if (ready < 0 && errno != EINTR) return {-1, FromErrno(errno)};
      if (ready == 0 && !nudged) {
        nudged = true;
        // A card that is gone answers the nudge with an error, while poll() stays silent.
        const ComediAnswer nudge = Answer(comedi_poll(dev, static_cast<unsigned>(stream.subdev)));
        if (!nudge.ok() && MayMeanCardGone(nudge.failure.number)) return nudge;
      }
      if (ready <= 0) continue;
      const ssize_t got = read(fd, stream.bytes.data() + stream.have, scan_bytes - stream.have);
      if (got < 0 && errno == EPIPE) {
        return {-1, {EPIPE, "the card's buffer overran: its scans were not read in time"}};
      }
      if (got < 0 && errno != EAGAIN && errno != EINTR) return {-1, FromErrno(errno)};
      if (got == 0) return {-1, {EPIPE, "the card's command has ended"}};
      if (got > 0) stream.have += static_cast<std::size_t>(got);
    }
    stream.have = 0;
    for (std::size_t chan = 0; chan < 2; ++chan) {
      const unsigned char* at = stream.bytes.data() + chan * stream.sample_bytes;
      if (stream.sample_bytes == sizeof(lsampl_t)) {
        lsampl_t v = 0;
        std::memcpy(&v, at, sizeof v);
        codes.at(chan) = v;
      } else {
        sampl_t v = 0;
        std::memcpy(&v, at, sizeof v);
        codes.at(chan) = v;
      }
    }
    return {1, {}};
  }

  ComediAnswer StillThere(int handle, int subdev) override {
    comedi_t* dev = At(handle);
    if (dev == nullptr || subdev < 0) return NoDevice();
    // The buffer size is asked of the kernel each time (any subdevice answers, 0 without a
    // buffer); a detached device refuses every such call.
    return Answer(comedi_get_buffer_size(dev, static_cast<unsigned>(subdev)));
  }

  ComediAnswer Cancel(int handle, int subdev) override {
    comedi_t* dev = At(handle);
    if (dev == nullptr || subdev < 0) return NoDevice();
    const ComediAnswer cancelled = Answer(comedi_cancel(dev, static_cast<unsigned>(subdev)));
    Stream& stream = streams_.at(static_cast<std::size_t>(handle));
    if (stream.blocking_flags >= 0) fcntl(comedi_fileno(dev), F_SETFL, stream.blocking_flags);
    stream = Stream{};
    return cancelled;
  }

 private:
  // The scans of a running command: a scan read in part waits in `bytes`.
  struct Stream {
    int subdev = -1;
    std::size_t sample_bytes = sizeof(sampl_t);
    std::array<unsigned char, 2 * sizeof(lsampl_t)> bytes{};
    std::size_t have = 0;
    int blocking_flags = -1;
  };

  // The library's answer, with its error number and text read at once when it failed.
  static ComediAnswer Answer(std::int64_t value) {
    if (value >= 0) return {value, {}};
    const int number = comedi_errno();
    const char* text = comedi_strerror(number);
    return {value, {number, text != nullptr ? text : ""}};
  }
  static ComediAnswer NoDevice() { return {-1, {EBADF, "no such open device"}}; }

  // The open device behind a handle, or nullptr.
  comedi_t* At(int handle) const {
    const bool known = handle >= 0 && static_cast<std::size_t>(handle) < devices_.size() &&
                       devices_[static_cast<std::size_t>(handle)] != nullptr;
    return known ? devices_[static_cast<std::size_t>(handle)] : nullptr;
  }

  std::vector<comedi_t*> devices_;
  std::vector<Stream> streams_;  // by handle, like devices_
};

}  // namespace

std::unique_ptr<ComediSeam> MakeComediLibrary() {
  return std::make_unique<ComediLibrary>();
}

}  // namespace velquor
