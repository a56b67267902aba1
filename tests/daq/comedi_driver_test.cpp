#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "daq/comedi_driver.h"
#include "daq/return_code.h"

namespace velquor {
namespace {

struct Sub {
  SubdeviceKind kind = SubdeviceKind::kOther;
  int channels = 0;
  std::vector<ComediRange> ranges;
  std::uint32_t maxdata = 1;
  std::int64_t refs = ReferenceBit(AnalogReference::kGround);
};

const ComediRange kTenVolts{-10, 10, true}, kFiveVolts{-5, 5, true}, kUnipolar{0, 10, true};
const std::int64_t kGroundAndDiff =
    ReferenceBit(AnalogReference::kGround) | ReferenceBit(AnalogReference::kDifferential);

Sub AnalogIn(std::vector<ComediRange> ranges = {kFiveVolts, kTenVolts}, std::uint32_t max = 4095) {
  return {SubdeviceKind::kAnalogIn, 16, std::move(ranges), max};
}
Sub Dio(int channels = 24, SubdeviceKind kind = SubdeviceKind::kDigitalIo) {
  return {kind, channels, {}, 1};
}
using Card = std::vector<Sub>;

// What the scripted library answers; the defaults are a working card behind every device file.
struct Script {
  Card card{AnalogIn(), Dio()};
  std::map<std::string, Card> files{};      // when not empty: the only device files with a card
  std::map<std::string, int> open_errno{};  // device files that fail to open, and why
  int read_errno = 0, bits_errno = 0, config_errno = 0, query_errno = 0, close_errno = 0;
  std::array<std::uint32_t, 2> samples{2100, 2042};
  std::uint32_t bits = 0x00B71234;
  std::uint32_t outputs = 0;   // digital channels that are outputs, one bit each
  bool config_sticks = false;  // making a group an input changes nothing
  bool per_line = false;       // each line takes its own direction (no 8255 groups)
  int refused_line = -1;       // a line that cannot be made an input
  bool commands = false;       // the analog input runs commands
  std::string driver = "fake";
  // What the card says of a command; it may change the timers.
  std::function<CommandCheck(ScanCommand&)> check = [](ScanCommand&) {
    return CommandCheck::kAccepted;
  };
  int start_errno = 0, scan_errno = 0;
  int there_errno = 0;  // how the device answers the question whether it is still there
  int scans_before_failure = 1 << 30;
};

// A scripted comedilib with an 8255's group directions (or directions per line): every call
// is written to `calls`.
class FakeComedi : public ComediSeam {
 public:
  explicit FakeComedi(Script script) : s(std::move(script)) {}
  Script s;
  std::vector<std::string> calls;
  std::vector<std::string> opened;  // the device file behind each handle, from handle 3 on
  int open_handles = 0;

  ComediAnswer Open(const std::string& path) override {
    calls.push_back("open " + path);
    int err = s.open_errno.count(path) != 0 ? s.open_errno.at(path) : 0;
    if (err == 0 && !s.files.empty() && s.files.count(path) == 0) err = ENOENT;
    if (err != 0) return Failed(err);
    ++open_handles;
    opened.push_back(path);
    return {static_cast<std::int64_t>(opened.size() + 2), {}};
  }
  ComediAnswer Close(int d) override {
    --open_handles;
    return Log(s.close_errno, "close", d);
  }
  ComediAnswer SubdeviceCount(int d) override {
    Log(0, "n_subdevices", d);
    return {static_cast<std::int64_t>(CardOf(d).size()), {}};
  }
  SubdeviceKind Kind(int d, int sd) override { return At(d, sd).kind; }
  ComediAnswer ChannelCount(int d, int sd) override { return {At(d, sd).channels, {}}; }
  ComediAnswer References(int d, int sd) override { return {At(d, sd).refs, {}}; }
  ComediAnswer RangeCount(int d, int sd, int) override {
    return {static_cast<std::int64_t>(At(d, sd).ranges.size()), {}};
  }
  std::optional<ComediRange> Range(int d, int sd, int, int r) override {
    return At(d, sd).ranges.at(static_cast<std::size_t>(r));
  }
  ComediAnswer MaxData(int d, int sd, int) override { return {At(d, sd).maxdata, {}}; }
  ComediAnswer ReadSettled(int d, int sd, int c, int r, AnalogReference ref, unsigned ns,
                           std::uint32_t& data) override {
    data = s.samples.at(static_cast<std::size_t>(c));
    return Log(s.read_errno, "read", d, sd, c, r, std::string(ReferenceName(ref)), ns);
  }
  ComediAnswer DioIsOutput(int d, int sd, int c) override {
    ComediAnswer a = Log(s.query_errno, "is_output", d, sd, c);
    if (a.ok()) a.value = (s.outputs >> c) & 1u;
    return a;
  }
  ComediAnswer DioConfigInput(int d, int sd, int c) override {
    // An 8255 sets the direction of the channel's whole group.
    const std::uint32_t group = s.per_line ? 1u << c
                                : c < 8    ? 0xFFu
                                : c < 16   ? 0xFF00u
                                : c < 20   ? 0xF0000u
                                           : 0xF00000u;
    const int err = c == s.refused_line ? EPERM : s.config_errno;
    if (err == 0 && !s.config_sticks) s.outputs &= ~group;
    return Log(err, "config_in", d, sd, c);
  }
  ComediAnswer DioReadBits(int d, int sd, std::uint32_t& out) override {
    out = s.bits;
    return Log(s.bits_errno, "bits", d, sd);
  }
  std::string DriverName(int) override { return s.driver; }
  ComediAnswer TakesCommands(int, int) override { return {s.commands ? 1 : 0, {}}; }
  CommandCheck CheckCommand(int d, int sd, ScanCommand& c) override {
    Log(0, "check", d, sd, c.scan_ns, c.convert_ns);
    return s.check(c);
  }
  ComediAnswer StartCommand(int d, int sd, const ScanCommand& c) override {
    return Log(s.start_errno, "start", d, sd, c.scan_ns, c.convert_ns, c.range[0], c.range[1],
               std::string(ReferenceName(c.reference)));
  }
  // Scan k gives channel 0 2100 and channel 1 2000 + k.
  ComediAnswer ReadScan(int d, int timeout_ms, std::array<std::uint32_t, 2>& codes) override {
    codes = {2100, static_cast<std::uint32_t>(2000 + scans)};
    const int err = scans++ < s.scans_before_failure ? 0 : s.scan_errno;
    return Log(err, "scan", d, timeout_ms);
  }
  ComediAnswer Cancel(int d, int sd) override { return Log(0, "cancel", d, sd); }
  ComediAnswer StillThere(int d, int sd) override { return Log(s.there_errno, "there", d, sd); }
  int scans = 0;

 private:
  static ComediAnswer Failed(int err) { return {-1, {err, std::strerror(err)}}; }
  const Card& CardOf(int d) const {
    const std::string& path = opened.at(static_cast<std::size_t>(d - 3));
    return s.files.empty() ? s.card : s.files.at(path);
  }
  const Sub& At(int d, int sd) const { return CardOf(d).at(static_cast<std::size_t>(sd)); }
  // Writes the call and its arguments to `calls`; a non-zero error makes it fail.
  static std::string Text(const std::string& a) { return a; }
  template <typename T>
  static std::string Text(T a) {
    return std::to_string(a);
  }
  template <typename... Args>
  ComediAnswer Log(int err, std::string line, Args... v) {
    ((line += " " + Text(v)), ...);
    calls.push_back(line);
    return err != 0 ? Failed(err) : ComediAnswer{};
  }
};

// A driver over a fake card; the test keeps a view of the fake the driver owns.
struct Rig {
  FakeComedi* lib;
  ComediDriver driver;
  DeviceState dev;

  explicit Rig(Script s = {}, std::string file = {})
      : Rig(std::make_unique<FakeComedi>(std::move(s)), std::move(file)) {}

  std::int32_t OpenAio(std::int16_t drv = 0) { return driver.AioOpen(dev.AioId, drv, 1); }
  std::int32_t OpenDio() { return driver.DioOpen(dev.DioId, 0, 1); }
  std::int32_t ReadAnalog() { return driver.AioInp(dev.AioId, dev.AioReq); }
  std::int32_t ReadPorts() { return driver.DioInp(dev.DioId, dev.DioReq); }
  std::int32_t Mode(std::int16_t word) { return driver.Dio8255Mode(dev.DioId, 0, word); }
  bool Says(const std::string& part) const {
    return driver.LastError().find(part) != std::string::npos;
  }

 private:
  Rig(std::unique_ptr<FakeComedi> fake, std::string file)
      : lib(fake.get()), driver(std::move(fake), std::move(file)) {
    dev.ChannelList.at(1) = 1;
    dev.AioReq = {&dev.AiData, &dev.ChannelList, 2};
    dev.PortList = {0, 1, 2};
    dev.DioReq = {&dev.PortList, 3, &dev.DioData};
  }
};

using Calls = std::vector<std::string>;

std::vector<std::string> Opens(const Calls& calls) {
  std::vector<std::string> opens;
  for (const std::string& c : calls) {
    if (c.rfind("open ", 0) == 0) opens.push_back(c.substr(5));
  }
  return opens;
}

TEST(ComediDriver, AnalogOpenFindsTheTenVoltRangeAndReadsEachChannelSettled) {
  Rig rig({.card = {AnalogIn({kFiveVolts, kTenVolts, kUnipolar})}});
  ASSERT_EQ(rig.OpenAio(0), 0) << rig.driver.LastError();
  EXPECT_EQ(rig.dev.AioId, ComediDriver::kAioId);
  EXPECT_EQ(rig.driver.TakeNotice(),
            "A/D: subdevice 0 of /dev/comedi0 (GND), 12-bit codes, samples read one by one on "
            "the program's clock (the subdevice runs no commands)");
  rig.lib->calls.clear();
  ASSERT_EQ(rig.ReadAnalog(), 0) << rig.driver.LastError();
  // One settled read per channel, in the -10..10 V range found at open (range 1).
  EXPECT_EQ(rig.lib->calls, (Calls{"read 3 0 0 1 GND 15000", "read 3 0 1 1 GND 15000"}));
  EXPECT_EQ(rig.dev.AiData, (std::array<std::uint16_t, 2>{2100, 2042}));

  // Opening again first closes what was open; a refused reopen leaves nothing open.
  rig.lib->calls.clear();
  ASSERT_EQ(rig.OpenAio(2), 0);
  EXPECT_EQ(rig.lib->open_handles, 1);
  EXPECT_EQ(Calls(rig.lib->calls.begin(), rig.lib->calls.begin() + 2),
            (Calls{"close 3", "open /dev/comedi2"}));
  EXPECT_EQ(rig.OpenAio(-1), daq_code::kNoSuchDevice);
  EXPECT_EQ(rig.lib->open_handles, 0);
}

TEST(ComediDriver, TheReferenceSetIsUsedWhereOfferedAndACardWithOneReferenceUsesIt) {
  using enum AnalogReference;
  struct Case {
    const char* name;
    std::int64_t offers;
    AnalogReference asked;
    const char* used;  // in every read; the note names it
    const char* note;
  };
  for (const Case& c : {
           Case{"differential where offered", kGroundAndDiff, kDifferential, "DIFF", "(DIFF), 12"},
           Case{"common where offered", kGroundAndDiff | ReferenceBit(kCommon), kCommon, "COMMON",
                "(COMMON), 12"},
           Case{"only the common one", ReferenceBit(kCommon), kGround, "COMMON",
                "(COMMON, the only reference it offers, not GND as the A/D Reference box says)"},
           Case{"only another one", ReferenceBit(kOther), kDifferential, "OTHER",
                "(OTHER, the only reference it offers, not DIFF as"},
       }) {
    Rig rig({.card = {Sub{SubdeviceKind::kAnalogIn, 8, {kTenVolts}, 4095, c.offers}}});
    rig.driver.SetAnalogReference(c.asked);
    ASSERT_EQ(rig.OpenAio(), 0) << c.name << ": " << rig.driver.LastError();
    const std::string note = rig.driver.TakeNotice();
    EXPECT_NE(note.find(c.note), std::string::npos) << c.name << ": " << note;
    rig.lib->calls.clear();
    ASSERT_EQ(rig.ReadAnalog(), 0) << c.name;
    const std::string used = c.used;
    EXPECT_EQ(rig.lib->calls,
              (Calls{"read 3 0 0 0 " + used + " 15000", "read 3 0 1 0 " + used + " 15000"}))
        << c.name;
  }
}

// The card test finds /dev/comedi0 from A/D number 30 and from a file without a driver, and
// keeps to a given device file; here, a card without the subdevice and no card anywhere.
TEST(ComediDriver, WithoutACardAtTheNumberedFileTheFirstDeviceWithTheSubdeviceOpens) {
  const Card ai_only{AnalogIn()}, dio_only{Dio()};
  Rig skips({.files = {{"/dev/comedi0", dio_only}, {"/dev/comedi1", ai_only}}});
  ASSERT_EQ(skips.OpenAio(30), 0) << skips.driver.LastError();
  EXPECT_EQ(Opens(skips.lib->calls), (Calls{"/dev/comedi30", "/dev/comedi0", "/dev/comedi1"}));
  EXPECT_EQ(skips.lib->open_handles, 1);
  EXPECT_NE(skips.driver.TakeNotice().find("/dev/comedi1 is the first"), std::string::npos);

  Rig none({.files = {{"/dev/comedi99", ai_only}}, .open_errno = {{"/dev/comedi3", EACCES}}});
  EXPECT_EQ(none.OpenAio(30), daq_code::kNoSuchDevice);
  EXPECT_EQ(Opens(none.lib->calls).size(), 17u);  // 30, then 0..15
  EXPECT_EQ(none.lib->open_handles, 0);
  EXPECT_TRUE(
      none.Says("no other of /dev/comedi0../dev/comedi15 has an analog-input subdevice that can "
                "be used (AioOpen: cannot open /dev/comedi3: Permission denied (the user must be "
                "a member"))
      << none.driver.LastError();
}

TEST(ComediDriver, OpeningMakesEachLineAnInputWithOneCallPerLineOr8255GroupThatIsNot) {
  // `config`: the direction calls made, beyond the queries.
  auto check = [](const char* name, const Script& script, std::int32_t code, const Calls& config,
                  const std::string& says) {
    Rig rig(script);
    EXPECT_EQ(rig.OpenDio(), code) << name << ": " << rig.driver.LastError();
    Calls made;
    for (const std::string& call : rig.lib->calls) {
      if (call.rfind("config_in", 0) == 0) made.push_back(call);
    }
    EXPECT_EQ(made, config) << name;
    const std::string text = code == 0 ? rig.driver.TakeNotice() : rig.driver.LastError();
    EXPECT_NE(text.find(says), std::string::npos) << name << ": " << text;
    if (code == 0 && says.empty()) {
      EXPECT_EQ(text, "") << name;
    }
    if (code == 0 && script.card.back().kind == SubdeviceKind::kDigitalIo) {
      EXPECT_EQ(rig.lib->s.outputs & 0xFFFFFFu, 0u) << name << ": lines left outputs";
    }
    EXPECT_EQ(rig.lib->open_handles, code == 0 ? 1 : 0) << name;
  };
  auto lines = [](std::initializer_list<int> numbers) {
    Calls calls;
    for (int n : numbers) calls.push_back("config_in 3 1 " + std::to_string(n));
    return calls;
  };
  Calls every;
  for (int n = 0; n < 24; ++n) every.push_back("config_in 3 1 " + std::to_string(n));
  check("all inputs", {}, 0, {}, "");
  check("port B and C high left outputs", {.outputs = 0xF0FF00}, 0, lines({8, 20}),
        "port B (channels 8-15), port C high (channels 20-23) of digital subdevice 1 on "
        "/dev/comedi0 made inputs");
  check("driver cannot tell directions", {.query_errno = EINVAL}, 0, every, "");
  check("direction refused", {.config_errno = EIO, .outputs = 0x1}, daq_code::kConfigFailed,
        lines({0}),
        "line 0 of digital subdevice 1 on /dev/comedi0 cannot be made an input: "
        "Input/output error");
  check("direction does not change", {.outputs = 0x10000, .config_sticks = true},
        daq_code::kConfigFailed, lines({16}),
        "line 16 of digital subdevice 1 on /dev/comedi0 stays an output");
  check("input-only subdevice", {.card = {Dio(32, SubdeviceKind::kDigitalIn)}, .outputs = ~0u}, 0,
        {}, "");
  // Lines with a direction of their own: each output line is set by itself.
  check("per line, all outputs", {.outputs = 0xFFFFFF, .per_line = true}, 0, every,
        "lines 0-23 of digital subdevice 1 on /dev/comedi0 made inputs");
  check("per line, the lines beside each group's first left outputs",
        {.outputs = 0xEEFEFE, .per_line = true}, 0,
        lines({1, 2, 3, 4, 5, 6, 7, 9, 10, 11, 12, 13, 14, 15, 17, 18, 19, 21, 22, 23}),
        "lines 1-7, 9-15, 17-19, 21-23 of");
  check("per line, a whole port and one line", {.outputs = 0x8000FF, .per_line = true}, 0,
        lines({0, 1, 2, 3, 4, 5, 6, 7, 23}), "lines 0-7, 23 of");
  check("per line, one line refused", {.outputs = 0xFFFFFF, .per_line = true, .refused_line = 13},
        daq_code::kConfigFailed, lines({0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13}),
        "line 13 of digital subdevice 1 on /dev/comedi0 cannot be made an input: Operation not "
        "permitted");

  // The mode call checks again and finds nothing to change; one bitfield read gives the
  // three port bytes in the requested order.
  Rig rig({.outputs = 0xFFFFFF});
  ASSERT_EQ(rig.OpenDio(), 0);
  rig.lib->calls.clear();
  EXPECT_EQ(rig.Mode(0x9B), 0);
  rig.dev.PortList = {2, 0, 2};
  ASSERT_EQ(rig.ReadPorts(), 0) << rig.driver.LastError();
  Calls queries;
  for (int n = 0; n < 24; ++n) queries.push_back("is_output 3 1 " + std::to_string(n));
  queries.push_back("bits 3 1");
  EXPECT_EQ(rig.lib->calls, queries);
  EXPECT_EQ(rig.dev.DioData, (std::array<std::uint8_t, 3>{0xB7, 0x34, 0xB7}));
}

TEST(ComediDriver, CodesOfAnyBinaryResolutionFromTwelveBitsOnAreRoundedToTwelveBits) {
  struct Case {
    std::uint32_t maxdata;
    std::uint32_t code;
    std::uint16_t twelve;  // the code handed on
  };
  for (const Case& c :
       {Case{4095, 17, 17}, Case{16383, 5, 1}, Case{16383, 6, 2}, Case{65535, 7, 0},
        Case{65535, 8, 1}, Case{65535, 65527, 4095}, Case{0xFFFFFFFF, 0xFFFFFFFF, 4095}}) {
    Rig rig({.card = {AnalogIn({kTenVolts}, c.maxdata)}, .samples = {c.code, 0}});
    ASSERT_EQ(rig.OpenAio(), 0) << rig.driver.LastError();
    ASSERT_EQ(rig.ReadAnalog(), 0) << rig.driver.LastError();
    EXPECT_EQ(rig.dev.AiData[0], c.twelve) << c.maxdata << " " << c.code;
  }
  Rig sixteen({.card = {AnalogIn({kTenVolts}, 65535)}});
  ASSERT_EQ(sixteen.OpenAio(), 0);
  EXPECT_NE(sixteen.driver.TakeNotice().find("16-bit codes rounded to 12 bits"), std::string::npos);
}

TEST(ComediDriver, ARunIsPacedByTheCardOnlyWhenItRunsTheCommandAndKeepsTheIntervalExactly) {
  using Check = std::function<CommandCheck(ScanCommand&)>;
  auto adjust = [](std::uint32_t scan_ns, std::uint32_t convert_ns) -> Check {
    return [=](ScanCommand& c) {
      const bool same = c.scan_ns == scan_ns && c.convert_ns == convert_ns;
      c = {c.range, c.reference, scan_ns, convert_ns};
      return same ? CommandCheck::kAccepted : CommandCheck::kAdjusted;
    };
  };
  // `says`: in the note of the open or of the run's start; `calls`: the command calls, given
  // when the run is paced by the card.
  auto check = [](const char* name, const Script& script, double interval_ms,
                  const std::string& says, const Calls& paced_calls = {}) {
    Rig rig(script);
    ASSERT_EQ(rig.OpenAio(), 0) << name;
    std::string note = rig.driver.TakeNotice();
    rig.lib->calls.clear();
    EXPECT_EQ(rig.driver.StartPacedReads(interval_ms), !paced_calls.empty()) << name;
    note += rig.driver.TakeNotice();
    EXPECT_NE(note.find(says), std::string::npos) << name << ": " << note;
    const Calls& calls = rig.lib->calls;
    if (!paced_calls.empty()) {
      EXPECT_EQ(calls, paced_calls) << name;
    }
    // A command that started is cancelled once, also when its first scan never came.
    const bool started = script.start_errno == 0 &&
                         std::any_of(calls.begin(), calls.end(),
                                     [](const std::string& call) { return call[0] == 's'; });
    rig.driver.StopPacedReads();
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "cancel 3 0"), started ? 1 : 0) << name;
  };
  check("accepted", {.commands = true}, 10,
        "runs paced by the card's clock where it keeps the interval exactly",
        {"check 3 0 10000000 15000", "start 3 0 10000000 15000 1 1 GND", "scan 3 120"});
  check("conversion timer adjusted", {.commands = true, .check = adjust(10000000, 20000)}, 10, "",
        {"check 3 0 10000000 15000", "check 3 0 10000000 20000", "start 3 0 10000000 20000 1 1 GND",
         "scan 3 120"});
  check("settling cut short", {.commands = true, .check = adjust(10000000, 8000)}, 10,
        "converts channel 1 8 us after channel 0");
  check("refused", {.commands = true, .check = [](ScanCommand&) { return CommandCheck::kRefused; }},
        10, "cannot run a timed scan of channels 0 and 1");
  check("interval below a millisecond", {.commands = true}, 0.5, "cannot time a scan every 0.5 ms");
  check("start refused", {.commands = true, .start_errno = EBUSY}, 10,
        "did not start its command (Device or resource busy; another program is using "
        "/dev/comedi0 (its subdevice 0); fuser /dev/comedi0 shows which)");
  check("no first scan", {.commands = true, .scan_errno = ETIMEDOUT, .scans_before_failure = 0}, 20,
        "gave no scan (Connection timed out)");
}

TEST(ComediDriver, EachFailureGivesItsOwnCodeAndAReadableReason) {
  using Op = std::function<std::int32_t(Rig&)>;
  const Op open_aio = [](Rig& r) { return r.OpenAio(); };
  const Op open_dio = [](Rig& r) { return r.OpenDio(); };
  const Op read_aio = [](Rig& r) { return r.OpenAio() == 0 ? r.ReadAnalog() : -1; };
  const Op read_dio = [](Rig& r) { return r.OpenDio() == 0 ? r.ReadPorts() : -1; };
  std::set<std::int32_t> codes;
  std::set<std::string> shown;
  auto check = [&](const char* name, const Script& script, const Op& op, std::int32_t code,
                   const std::vector<std::string>& says, const std::string& file = {}) {
    Rig rig(script, file);
    EXPECT_EQ(op(rig), code) << name;
    for (const std::string& part : says) {
      EXPECT_TRUE(rig.Says(part)) << name << ": \"" << rig.driver.LastError() << "\" lacks \""
                                  << part << "\"";
    }
    // The screens show three hex digits: each kind of failure must stay apart and never read 000h.
    codes.insert(code);
    shown.insert(ReturnCodeText(code));
    EXPECT_NE(ReturnCodeText(code), "000h") << name;
    if (rig.dev.AioId == 0 && rig.dev.DioId == 0) {
      // No device came open: nothing may be left open behind the refusal.
      EXPECT_EQ(rig.lib->open_handles, 0) << name;
      EXPECT_EQ(rig.ReadAnalog(), daq_code::kNotOpen) << name;
    }
  };
  const std::string card = "/dev/comedi0";
  check("missing device", {.open_errno = {{card, ENOENT}}}, open_aio, daq_code::kNoSuchDevice,
        {"AioOpen", card, "No such file"}, card);
  check("no permission", {.open_errno = {{card, EACCES}}}, open_dio, daq_code::kOpenFailed,
        {"DioOpen", card, "iocard"});
  check("reference not offered",
        {.card = {Sub{
             SubdeviceKind::kAnalogIn,
             8,
             {kTenVolts},
             4095,
             ReferenceBit(AnalogReference::kGround) | ReferenceBit(AnalogReference::kCommon)}}},
        [](Rig& r) {
          r.driver.SetAnalogReference(AnalogReference::kDifferential);
          return r.OpenAio();
        },
        daq_code::kConfigFailed,
        {"analog-input subdevice 0 on /dev/comedi0 (DIFF) cannot measure against DIFF (it offers "
         "GND, COMMON); set the A/D Reference"});
  check("no ten-volt range", {.card = {AnalogIn({kFiveVolts, kUnipolar})}}, open_aio,
        daq_code::kRangeUnavailable, {"channel 0", "-10..10 V", "-5..5 V, 0..10 V"});
  for (std::uint32_t max : {1023u, 50000u}) {
    check("not a binary code of 12 bits or more", {.card = {AnalogIn({kTenVolts}, max)}}, open_aio,
          daq_code::kResolutionMismatch, {"0.." + std::to_string(max), "n of 12 or more"});
  }
  check("failing analog read", {.read_errno = EIO}, read_aio, daq_code::kReadFailed,
        {"AioInp", "channel 0", "/dev/comedi0 (GND)", "Input/output error"});
  check("code above the largest", {.samples = {4096, 0}}, read_aio, daq_code::kReadFailed,
        {"code 4096", "above its largest 4095"});
  check("card gone at a port read", {.bits_errno = ENODEV}, read_dio, daq_code::kDeviceGone,
        {"DioInp", "digital subdevice 1", "No such device"});
  // Waiting for a scan, a card that is gone may only stay silent: the device is asked.
  // The scan taken at the start, to see that the command runs, is the first sample.
  const Op read_paced = [](Rig& r) {
    if (r.OpenAio() != 0 || !r.driver.StartPacedReads(10) || r.ReadAnalog() != 0) return -1;
    return r.ReadAnalog();
  };
  const Script paced{.commands = true, .scans_before_failure = 1};
  auto paced_with = [&paced](int scan_errno, int there_errno) {
    Script s = paced;
    s.scan_errno = scan_errno;
    s.there_errno = there_errno;
    return s;
  };
  check("no scan and the device gone", paced_with(ETIMEDOUT, ENODEV), read_paced,
        daq_code::kDeviceGone,
        {"waiting for the next scan",
         "timed out, and the device no longer answers: No such "
         "device"});
  check("the nudge finds the device gone", paced_with(ENODEV, 0), read_paced, daq_code::kDeviceGone,
        {"waiting for the next scan", "No such device"});
  check("no such device or address", paced_with(ENXIO, 0), read_paced, daq_code::kDeviceGone,
        {"No such device or address"});
  check("an I/O error of a card gone", paced_with(EIO, ENODEV), read_paced, daq_code::kDeviceGone,
        {"Input/output error, and the device no longer answers"});
  check("an I/O error of a card still there", paced_with(EIO, 0), read_paced, daq_code::kReadFailed,
        {"Input/output error"});
  check("card gone at a sample read", {.read_errno = EIO, .there_errno = ENODEV}, read_aio,
        daq_code::kDeviceGone, {"channel 0", "no longer answers"});
  check("other control word", {}, [](Rig& r) { return r.OpenDio() == 0 ? r.Mode(0x80) : -1; },
        daq_code::kUnsupportedMode, {"80h", "9Bh"});
  check("port not on the card", {.card = {Dio(16)}}, read_dio, daq_code::kNoSuchPort,
        {"port 2 is not on", "ports 0..1"});
  // Another program holding the card is named wherever the card says so.
  check("busy at open", {.open_errno = {{card, EBUSY}}}, open_aio, daq_code::kOpenFailed,
        {"cannot open /dev/comedi0: Device or resource busy (another program is using "
         "/dev/comedi0; fuser /dev/comedi0 shows which)"});
  check("busy at the first read", {.read_errno = EBUSY}, read_aio, daq_code::kReadFailed,
        {"channel 0 of analog-input subdevice 0 on /dev/comedi0 (GND) could not be read: Device "
         "or resource busy; another program is using /dev/comedi0 (its subdevice 0); fuser "
         "/dev/comedi0 shows which"});
  check("busy at a port read", {.bits_errno = EBUSY}, read_dio, daq_code::kReadFailed,
        {"another program is using /dev/comedi0 (its subdevice 1)"});
  check(
      "busy at a direction", {.config_errno = EBUSY, .outputs = 0x100}, open_dio,
      daq_code::kConfigFailed,
      {"line 8 of digital subdevice 1", "another program is using /dev/comedi0 (its subdevice 1)"});
  check("failing close", {.close_errno = EIO},
        [](Rig& r) { return r.OpenDio() == 0 ? r.driver.DioClose(r.dev.DioId) : -1; },
        daq_code::kCloseFailed, {"DioClose", card});
  EXPECT_EQ(shown.size(), codes.size());
}

}  // namespace
}  // namespace velquor
