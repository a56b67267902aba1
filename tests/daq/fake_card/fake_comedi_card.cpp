// A simulated comedi card for tests, loaded with LD_PRELOAD: it answers the open, ioctl and
// close calls comedilib makes for /dev/comediN, so the real library and backend run without
// a card. /dev/comedi0 is a 12-bit multiplexed card with an 8255 whose analog input also runs
// commands: its scans stream through the device file (one end of a socket pair), and channel 1
// of scan k reads k codes above its input, so a reader can tell which scan it has; channel 0
// of scan k (counted from 1) reads k modulo 4096. The streaming knobs below make it hand its
// scans over in bunches, answer port reads late, and put the count of scans made on the ports.
// /dev/comedi1 exists with no driver attached; every other /dev/comediN is missing.
// Environment variables plant faults of real cards (see Faults below).
#include <dlfcn.h>
#include <linux/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstdarg>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

// After <linux/ioctl.h>, which it needs and does not include.
#include <comedi.h>

namespace {

constexpr unsigned kAi = 0, kDio = 1, kSubdevices = 2;
constexpr unsigned kAiChannels = 16, kDioChannels = 24;
constexpr lsampl_t kMax12 = 4095;
constexpr unsigned kLongestWaitNs = 100000;  // the kernel refuses longer waits
constexpr unsigned kSettleNs = 10000;        // the multiplexer's settling time
// The pacing timer: whole microseconds, at most a 16-bit count of them.
constexpr unsigned kTimerStepNs = 1000, kLongestScanNs = 65535 * kTimerStepNs;

// The card's ranges, in µV as the kernel hands them out.
// The -10..10 V range is not the first, so the backend has to look for it.
constexpr std::array<comedi_krange, 2> kAiRanges{
    {{-5000000, 5000000, UNIT_volt}, {-10000000, 10000000, UNIT_volt}}};
constexpr std::array<comedi_krange, 1> kDigitalRange{{{0, 1000000, UNIT_volt}}};

// The voltage on each analog input; the ±10 V code of the others is that of 0 V.
constexpr std::array<double, 2> kInputVolts{2.5, -5.0};
// What the encoders put on the 8255 pins: port A, B, C low to high.
constexpr std::uint32_t kPins = 0x00B71234;

// ---- Streaming knobs (environment variables, read once) ----
// VELQUOR_FAKE_CARD_BUNCH=N: a command's scans are handed over N at a time, when the last of
//   them is made, as a driver that wakes its reader only now and then does (default 1).
// VELQUOR_FAKE_CARD_PORT_DELAY_US=D: a port read answers D us after it was asked, with the
//   pins as they are then (default 0).
// VELQUOR_FAKE_CARD_COUNT_SCANS=1: while a command runs, the 8255's pins carry the number of
//   scans made so far (bits 0-7 on port A, bits 8-11 on the low half of port C), so the
//   encoder 0 count of a sample says which scan was the latest when its ports were read.
long Knob(const char* name, long fallback) {
  const char* text = std::getenv(name);
  return text != nullptr ? std::atol(text) : fallback;
}

struct StreamKnobs {
  long bunch = std::max(1L, Knob("VELQUOR_FAKE_CARD_BUNCH", 1));
  long port_delay_us = std::max(0L, Knob("VELQUOR_FAKE_CARD_PORT_DELAY_US", 0));
  bool count_scans = Knob("VELQUOR_FAKE_CARD_COUNT_SCANS", 0) != 0;
};

// The pins of the 8255 for a count of scans made.
std::uint32_t PinsOfCount(std::uint64_t made) {
  return static_cast<std::uint32_t>((made & 0xFFu) | (((made >> 8) & 0xFu) << 16));
}
// ---- end of the streaming knobs ----

// ---- Faults of real cards, each set by an environment variable ----
//  VELQUOR_FAKE_CARD_PER_LINE_DIO=1         the DIO subdevice is no 8255: each line takes its
//                                           own direction, and all 24 start as outputs whose
//                                           latches hold kStaleLatch
//  VELQUOR_FAKE_CARD_DETACH_AFTER_SCANS=N   the driver is detached after N scans of a command:
//                                           every ioctl and read then fails with ENODEV and
//                                           poll() reports nothing, as the kernel does
//  VELQUOR_FAKE_CARD_COMMON_ONLY=1          the analog input offers only the common reference
//                                           (SDF_COMMON) and refuses any other
//  VELQUOR_FAKE_CARD_BUSY=open              opening /dev/comedi0 fails with EBUSY
//  VELQUOR_FAKE_CARD_BUSY=ai                another program runs a command on the analog input:
//                                           its reads and commands fail with EBUSY
//  VELQUOR_FAKE_CARD_SAY_CLOSE=1            each close of a /dev/comedi0 descriptor is written
//                                           to stderr with the number still open
long EnvNumber(const char* name) {
  const char* v = std::getenv(name);
  return v != nullptr ? std::atol(v) : -1;
}
bool EnvSet(const char* name) {
  const char* v = std::getenv(name);
  return v != nullptr && *v != '\0' && std::string_view(v) != "0";
}
std::string_view EnvText(const char* name) {
  const char* v = std::getenv(name);
  return v != nullptr ? v : "";
}

constexpr std::uint32_t kAllLines = 0xFFFFFF, kStaleLatch = 0x5A5A5A;

struct Faults {
  bool per_line_dio = EnvSet("VELQUOR_FAKE_CARD_PER_LINE_DIO");
  long detach_after_scans = EnvNumber("VELQUOR_FAKE_CARD_DETACH_AFTER_SCANS");
  bool common_only = EnvSet("VELQUOR_FAKE_CARD_COMMON_ONLY");
  bool busy_open = EnvText("VELQUOR_FAKE_CARD_BUSY") == "open";
  bool busy_ai = EnvText("VELQUOR_FAKE_CARD_BUSY") == "ai";
  bool say_close = EnvSet("VELQUOR_FAKE_CARD_SAY_CLOSE");
  std::atomic<bool> detached{false};
} faults;

// The channels whose direction one configuration of `chan` sets.
std::uint32_t DirectionMask(unsigned chan, std::uint32_t group) {
  return faults.per_line_dio ? std::uint32_t{1} << chan : group;
}

// The analog references the input takes, as subdevice flags.
unsigned ReferenceFlags() {
  return faults.common_only ? SDF_COMMON : SDF_GROUND | SDF_COMMON | SDF_DIFF;
}

// Whether the input can measure against the reference of the chanspec.
bool TakesReference(unsigned chanspec) {
  return !faults.common_only || CR_AREF(chanspec) == AREF_COMMON;
}

bool CommandTakesReferences(const comedi_cmd& c) {
  for (unsigned i = 0; i < c.chanlist_len; ++i) {
    if (!TakesReference(c.chanlist[i])) return false;
  }
  return true;
}

// Counts a scan sent; true when the driver is detached now (the scan is not sent).
bool DetachesAt(long scans_sent, int reader) {
  if (faults.detach_after_scans < 0 || scans_sent < faults.detach_after_scans) return false;
  faults.detached = true;
  // The kernel frees the buffer: what was not read is gone.
  std::array<char, 256> junk{};
  while (recv(reader, junk.data(), junk.size(), MSG_DONTWAIT) > 0) {
  }
  return true;
}
// ---- end of the faults ----

// A running command: a thread that sends a scan into the socket pair every scan_ns.
struct Command {
  int fd = -1;  // the descriptor that started it
  std::mutex lock;
  std::condition_variable wake;
  bool stop = false;
  std::thread sender;
  std::chrono::steady_clock::time_point started;  // scan k is made k periods after it
  std::chrono::nanoseconds period{0};

  void Stop() {
    if (!sender.joinable()) return;
    {
      const std::lock_guard<std::mutex> hold(lock);
      stop = true;
    }
    wake.notify_all();
    sender.join();
    fd = -1;
  }
  ~Command() { Stop(); }
};

// The card's state, which lives as long as the process, as a driver's lives in the kernel.
struct Card {
  std::mutex lock;
  std::array<int, 8> fds{-1, -1, -1, -1, -1, -1, -1, -1};  // open descriptors of /dev/comedi0
  std::array<int, 8> peers{};                              // the other end of each
  Command command;
  unsigned mux = 0;     // the channel the multiplexer is switched to
  unsigned before = 0;  // the channel it was switched to before
  bool settled = true;  // the multiplexer has settled since it last switched
  // DIO channels that are outputs, one bit each, and what was last written to them.
  std::uint32_t outputs = faults.per_line_dio ? kAllLines : 0;
  std::uint32_t latch = faults.per_line_dio ? kStaleLatch : 0;
  // Port reads the card answers before it is unplugged (VELQUOR_FAKE_CARD_GONE_AFTER), or -1.
  long reads_left = std::getenv("VELQUOR_FAKE_CARD_GONE_AFTER") != nullptr
                        ? std::atol(std::getenv("VELQUOR_FAKE_CARD_GONE_AFTER"))
                        : -1;
  StreamKnobs knobs;
} card;

template <typename F>
F Real(const char* name) {
  return reinterpret_cast<F>(dlsym(RTLD_NEXT, name));
}

int Fail(int err) {
  errno = err;
  return -1;
}

lsampl_t CodeOf(unsigned chan, unsigned range) {
  const double volts = chan < kInputVolts.size() ? kInputVolts.at(chan) : 0.0;
  const comedi_krange& r = kAiRanges.at(range);
  const double code = std::round((volts * 1e6 - r.min) / (r.max - r.min) * (kMax12 + 1));
  return static_cast<lsampl_t>(std::fmin(std::fmax(code, 0.0), kMax12));
}

// The 8255 group (port A, B, C low or C high) of a channel, as a mask of its channels.
std::uint32_t GroupOf(unsigned chan) {
  return chan < 16 ? 0xFFu << (chan & ~7u) : 0xFu << (chan & ~3u);
}

// What the encoders put on the pins now: the count of scans made while a command runs, when
// the card is asked to count them.
std::uint32_t Pins() {
  const Command& cmd = card.command;
  if (!card.knobs.count_scans || !cmd.sender.joinable() || cmd.period.count() <= 0) return kPins;
  const auto made = (std::chrono::steady_clock::now() - cmd.started) / cmd.period;
  return PinsOfCount(static_cast<std::uint64_t>(std::max<std::int64_t>(0, made)));
}

// Runs one instruction; gives the number of data words done, or -1 with errno.
int Run(comedi_insn& insn) {
  const unsigned chan = CR_CHAN(insn.chanspec);
  lsampl_t* data = insn.data;
  switch (insn.insn) {
    case INSN_GTOD:  // comedilib tries one at open to learn whether instructions work
      if (insn.n != 2) return Fail(EINVAL);
      data[0] = data[1] = 0;
      return 2;
    case INSN_WAIT:
      if (insn.n != 1 || data[0] >= kLongestWaitNs) return Fail(EINVAL);
      if (data[0] >= kSettleNs) card.settled = true;
      return 1;
    case INSN_READ:
      if (insn.subdev != kAi || chan >= kAiChannels) return Fail(EINVAL);
      if (card.command.sender.joinable() || faults.busy_ai) return Fail(EBUSY);
      if (!TakesReference(insn.chanspec)) return Fail(EINVAL);
      if (CR_RANGE(insn.chanspec) >= kAiRanges.size()) return Fail(EINVAL);
      if (chan != card.mux) {
        card.settled = false;
        card.before = card.mux;
        card.mux = chan;
      }
      for (unsigned i = 0; i < insn.n; ++i) {
        // Converted before the multiplexer settled, the sample still holds the channel before.
        data[i] = CodeOf(card.settled ? chan : card.before, CR_RANGE(insn.chanspec));
        card.settled = true;
      }
      return static_cast<int>(insn.n);
    case INSN_BITS:
      if (insn.subdev != kDio || insn.n != 2 || chan != 0) return Fail(EINVAL);
      if (card.reads_left == 0) return Fail(ENODEV);  // unplugged
      if (card.reads_left > 0) --card.reads_left;
      card.latch = (card.latch & ~data[0]) | (data[1] & data[0]);
      if (card.knobs.port_delay_us > 0)
        std::this_thread::sleep_for(std::chrono::microseconds(card.knobs.port_delay_us));
      // An output channel reads back what was written to it, not its pin.
      data[1] = ((Pins() & ~card.outputs) | (card.latch & card.outputs)) & 0xFFFFFFu;
      return 2;
    case INSN_CONFIG:
      if (insn.subdev != kDio || chan >= kDioChannels || insn.n < 1) return Fail(EINVAL);
      if (data[0] == COMEDI_INPUT) {
        card.outputs &= ~DirectionMask(chan, GroupOf(chan));
      } else if (data[0] == COMEDI_OUTPUT) {
        card.outputs |= DirectionMask(chan, GroupOf(chan));
      } else if (data[0] == INSN_CONFIG_DIO_QUERY && insn.n == 2) {
        data[1] = (card.outputs >> chan) & 1u ? COMEDI_OUTPUT : COMEDI_INPUT;
      } else {
        return Fail(EINVAL);
      }
      return static_cast<int>(insn.n);
    default:
      return Fail(EINVAL);
  }
}

// The stages of a command test: 0 when the card runs it as it is, else the stage that
// changed it (1 sources, 3 arguments, 4 timer steps).
int Test(comedi_cmd& c) {
  const comedi_cmd asked = c;
  c.start_src &= TRIG_NOW;
  c.scan_begin_src &= TRIG_TIMER;
  c.convert_src &= TRIG_TIMER;
  c.scan_end_src &= TRIG_COUNT;
  c.stop_src &= TRIG_NONE;
  if (std::memcmp(&c, &asked, sizeof c) != 0) return 1;
  c.start_arg = 0;
  c.stop_arg = 0;
  c.scan_end_arg = c.chanlist_len;
  c.convert_arg = std::max(c.convert_arg, kSettleNs);
  c.scan_begin_arg = std::clamp(c.scan_begin_arg, c.convert_arg * c.chanlist_len, kLongestScanNs);
  if (std::memcmp(&c, &asked, sizeof c) != 0) return 3;
  for (unsigned* arg : {&c.scan_begin_arg, &c.convert_arg}) {
    const bool up = (c.flags & CMDF_ROUND_MASK) == CMDF_ROUND_UP;
    *arg = (*arg + (up ? kTimerStepNs - 1 : 0)) / kTimerStepNs * kTimerStepNs;
  }
  return std::memcmp(&c, &asked, sizeof c) != 0 ? 4 : 0;
}

// Starts the scans of a tested command: the first comes one scan_ns after the start.
void Start(const comedi_cmd& c, int fd, int peer) {
  // The conversion timer gives the multiplexer its settling time (Test saw to that).
  std::array<unsigned, 2> specs{c.chanlist[0], c.chanlist[1]};  // channel 0's is unused
  card.command.fd = fd;
  card.command.stop = false;
  card.command.started = std::chrono::steady_clock::now();
  card.command.period = std::chrono::nanoseconds(c.scan_begin_arg);
  card.command.sender = std::thread([specs, fd, peer, bunch = card.knobs.bunch] {
    Command& cmd = card.command;
    std::vector<sampl_t> held;  // scans made and not yet handed over
    std::unique_lock<std::mutex> hold(cmd.lock);
    for (std::uint64_t k = 1;; ++k) {
      if (cmd.wake.wait_until(hold, cmd.started + cmd.period * static_cast<std::int64_t>(k),
                              [&cmd] { return cmd.stop; }))
        return;
      if (DetachesAt(static_cast<long>(k - 1), fd)) return;
      // Channel 0 carries the scan's number instead of its input.
      const lsampl_t second = CodeOf(CR_CHAN(specs[1]), CR_RANGE(specs[1]));
      held.push_back(static_cast<sampl_t>(k % (kMax12 + 1)));
      held.push_back(static_cast<sampl_t>(second + (k - 1) % 256));
      if (k % static_cast<std::uint64_t>(bunch) != 0) continue;
      // A buffer that overflows ends the command, as the card's would.
      if (send(peer, held.data(), held.size() * sizeof(sampl_t), MSG_DONTWAIT | MSG_NOSIGNAL) < 0) {
        shutdown(peer, SHUT_WR);
        return;
      }
      held.clear();
    }
  });
}

// Ends the command of descriptor fd and drops the scans it sent that were not read.
int Cancel(int fd) {
  if (card.command.fd != fd) return 0;
  card.command.Stop();
  std::array<char, 256> junk{};
  while (recv(fd, junk.data(), junk.size(), MSG_DONTWAIT) > 0) {
  }
  return 0;
}

int Answer(int fd, int peer, unsigned int request, void* arg) {
  switch (request) {
    case COMEDI_DEVINFO: {
      auto* info = static_cast<comedi_devinfo*>(arg);
      *info = comedi_devinfo{};
      info->version_code = 0x00074c;  // 0.7.76
      info->n_subdevs = kSubdevices;
      std::strncpy(info->driver_name, "fake_card", COMEDI_NAMELEN - 1);
      info->read_subdevice = kAi;
      info->write_subdevice = -1;
      return 0;
    }
    case COMEDI_SUBDINFO: {
      auto* subs = static_cast<comedi_subdinfo*>(arg);
      comedi_subdinfo& ai = subs[kAi] = comedi_subdinfo{};
      ai.type = COMEDI_SUBD_AI;
      ai.n_chan = kAiChannels;
      ai.subd_flags = SDF_READABLE | ReferenceFlags() | SDF_CMD_READ;
      ai.maxdata = kMax12;
      // The subdevice in the top byte, the number of its ranges below.
      ai.range_type = (kAi << 24) | static_cast<unsigned>(kAiRanges.size());
      ai.insn_bits_support = COMEDI_UNSUPPORTED;
      comedi_subdinfo& dio = subs[kDio] = comedi_subdinfo{};
      dio.type = COMEDI_SUBD_DIO;
      dio.n_chan = kDioChannels;
      dio.subd_flags = SDF_READABLE | SDF_WRITABLE;
      dio.maxdata = 1;
      dio.range_type = (kDio << 24) | static_cast<unsigned>(kDigitalRange.size());
      dio.insn_bits_support = COMEDI_SUPPORTED;
      return 0;
    }
    case COMEDI_CHANINFO:
      return 0;  // no per-channel lists: every channel is like the subdevice
    case COMEDI_RANGEINFO: {
      auto* info = static_cast<comedi_rangeinfo*>(arg);
      const unsigned subdev = (info->range_type >> 24) & 0xF;
      auto* out = static_cast<comedi_krange*>(info->range_ptr);
      const comedi_krange* from = subdev == kAi ? kAiRanges.data() : kDigitalRange.data();
      std::memcpy(out, from, RANGE_LENGTH(info->range_type) * sizeof(comedi_krange));
      return 0;
    }
    case COMEDI_INSN: {
      auto* insn = static_cast<comedi_insn*>(arg);
      return Run(*insn);
    }
    case COMEDI_INSNLIST: {
      auto* list = static_cast<comedi_insnlist*>(arg);
      for (unsigned i = 0; i < list->n_insns; ++i) {
        if (Run(list->insns[i]) < 0) return -1;
      }
      return static_cast<int>(list->n_insns);
    }
    case COMEDI_CMDTEST:
      if (!CommandTakesReferences(*static_cast<comedi_cmd*>(arg))) return Fail(EINVAL);
      return Test(*static_cast<comedi_cmd*>(arg));
    case COMEDI_CMD: {
      auto* cmd = static_cast<comedi_cmd*>(arg);
      if (card.command.sender.joinable() || faults.busy_ai) return Fail(EBUSY);
      if (!CommandTakesReferences(*cmd)) return Fail(EINVAL);
      if (cmd->subdev != kAi || Test(*cmd) != 0) return Fail(EAGAIN);
      Start(*cmd, fd, peer);
      return 0;
    }
    case COMEDI_CANCEL:
      return Cancel(fd);
    case COMEDI_POLL:
      return 0;
    case COMEDI_BUFCONFIG:  // asked only to see that the card is there: no buffer to show
      static_cast<comedi_bufconfig*>(arg)->size = 0;
      return 0;
    default:
      return Fail(ENOTTY);
  }
}

// The slot of a descriptor of /dev/comedi0, or nullptr.
int* Slot(int fd) {
  for (int& open_fd : card.fds) {
    if (fd >= 0 && open_fd == fd) return &open_fd;
  }
  return nullptr;
}

}  // namespace

extern "C" {

int open(const char* path, int flags, ...) {
  va_list args;
  va_start(args, flags);
  const unsigned mode = va_arg(args, unsigned);
  va_end(args);
  using OpenFn = int (*)(const char*, int, ...);
  static const auto real_open = Real<OpenFn>("open");
  const std::string_view name(path);
  if (name.rfind("/dev/comedi", 0) != 0) return real_open(path, flags, mode);
  if (name == "/dev/comedi1") return Fail(ENODEV);
  if (name != "/dev/comedi0") return Fail(ENOENT);
  if (faults.busy_open) return Fail(EBUSY);
  if (faults.detached) return Fail(ENODEV);
  const std::lock_guard<std::mutex> hold(card.lock);
  int* free_slot = nullptr;
  for (int& open_fd : card.fds) {
    if (open_fd < 0 && free_slot == nullptr) free_slot = &open_fd;
  }
  if (free_slot == nullptr) return Fail(EMFILE);
  std::array<int, 2> pair{};
  if (socketpair(AF_UNIX, SOCK_STREAM, 0, pair.data()) < 0) return -1;
  *free_slot = pair[0];
  card.peers.at(static_cast<std::size_t>(free_slot - card.fds.data())) = pair[1];
  return pair[0];
}

int close(int fd) {
  using CloseFn = int (*)(int);
  static const auto real_close = Real<CloseFn>("close");
  {
    // Closing the file ends its command, as the kernel's release does.
    const std::lock_guard<std::mutex> hold(card.lock);
    if (int* slot = Slot(fd)) {
      Cancel(fd);
      real_close(card.peers.at(static_cast<std::size_t>(slot - card.fds.data())));
      *slot = -1;
      if (faults.say_close) {
        const auto open_now = std::count_if(card.fds.begin(), card.fds.end(),
                                            [](int open_fd) { return open_fd >= 0; });
        const std::string line = "fake card: a descriptor of /dev/comedi0 closed (" +
                                 std::to_string(open_now) + " open)\n";
        write(STDERR_FILENO, line.data(), line.size());
      }
    }
  }
  return real_close(fd);
}

int ioctl(int fd, unsigned long request, ...) noexcept {
  va_list args;
  va_start(args, request);
  void* arg = va_arg(args, void*);
  va_end(args);
  {
    const std::lock_guard<std::mutex> hold(card.lock);
    // The kernel takes the request as 32 bits; comedilib hands it over sign-extended.
    if (int* slot = Slot(fd)) {
      if (faults.detached) return Fail(ENODEV);  // only a new attach would answer
      const int peer = card.peers.at(static_cast<std::size_t>(slot - card.fds.data()));
      return Answer(fd, peer, static_cast<unsigned int>(request), arg);
    }
  }
  using IoctlFn = int (*)(int, unsigned long, ...);
  static const auto real_ioctl = Real<IoctlFn>("ioctl");
  return real_ioctl(fd, request, arg);
}

// A detached card's device file reads nothing but ENODEV.
ssize_t read(int fd, void* buf, size_t count) {
  using ReadFn = ssize_t (*)(int, void*, size_t);
  static const auto real_read = Real<ReadFn>("read");
  if (faults.detached) {
    const std::lock_guard<std::mutex> hold(card.lock);
    if (Slot(fd) != nullptr) return Fail(ENODEV);
  }
  return real_read(fd, buf, count);
}

}  // extern "C"
