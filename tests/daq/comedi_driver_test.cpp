#include <gtest/gtest.h>

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
};

// A scripted comedilib with an 8255's group directions: every call is written to `calls`.
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
    const std::uint32_t group = c < 8 ? 0xFFu : c < 16 ? 0xFF00u : c < 20 ? 0xF0000u : 0xF00000u;
    if (s.config_errno == 0 && !s.config_sticks) s.outputs &= ~group;
    return Log(s.config_errno, "config_in", d, sd, c);
  }
  ComediAnswer DioReadBits(int d, int sd, std::uint32_t& out) override {
    out = s.bits;
    return Log(s.bits_errno, "bits", d, sd);
  }

 private:
  static ComediAnswer Failed(int err) { return {-1, {err, std::strerror(err)}}; }
  const Card& CardOf(int d) const {
    const std::string& path = opened.at(static_cast<std::size_t>(d - 3));
    return s.files.empty() ? s.card : s.files.at(path);
  }
  const Sub& At(int d, int sd) const { return CardOf(d).at(static_cast<std::size_t>(sd)); }
  // Writes the call and its arguments to `calls`; a non-zero error makes it fail.
  template <typename... Args>
  ComediAnswer Log(int err, std::string line, Args... v) {
    auto text = [](const auto& a) {
      if constexpr (std::is_same_v<std::decay_t<decltype(a)>, std::string>) {
        return a;
      } else {
        return std::to_string(a);
      }
    };
    ((line += " " + text(v)), ...);
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

  std::int32_t OpenAio(std::int16_t drv = 0, std::int16_t grp = 1) {
    return driver.AioOpen(dev.AioId, drv, grp);
  }
  std::int32_t OpenDio(std::int16_t drv = 0, std::int16_t grp = 1) {
    return driver.DioOpen(dev.DioId, drv, grp);
  }
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
  EXPECT_EQ(rig.driver.TakeNotice(), "A/D: subdevice 0 of /dev/comedi0 (GND), 12-bit codes");
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

TEST(ComediDriver, WithoutACardAtTheNumberedFileTheFirstDeviceWithTheSubdeviceOpens) {
  const Card ai_only{AnalogIn()}, dio_only{Dio()}, both{AnalogIn(), Dio()};
  struct Case {
    const char* name;
    bool analog;
    std::int16_t number;
    std::map<std::string, Card> files{};
    std::map<std::string, int> open_errno{};
    std::string device_file;         // comedi:DEVICE
    std::vector<std::string> opens;  // device files tried, in order
    std::string opened;              // the file left open, empty when none
    std::string says;                // in the notice when opened, else in the error
  };
  const Case cases[] = {
      {"initial A/D number",
       true,
       30,
       {{"/dev/comedi0", both}},
       {},
       "",
       {"/dev/comedi30", "/dev/comedi0"},
       "/dev/comedi0",
       "AioOpen: no card at /dev/comedi30; /dev/comedi0 is the first with an analog-input"},
      {"numbered file exists",
       true,
       1,
       {{"/dev/comedi0", both}, {"/dev/comedi1", ai_only}},
       {},
       "",
       {"/dev/comedi1"},
       "/dev/comedi1",
       "of /dev/comedi1"},
      {"first has no analog input",
       true,
       30,
       {{"/dev/comedi0", dio_only}, {"/dev/comedi1", ai_only}},
       {},
       "",
       {"/dev/comedi30", "/dev/comedi0", "/dev/comedi1"},
       "/dev/comedi1",
       "/dev/comedi1 is the"},
      {"digital on a multifunction card",
       false,
       1,
       {{"/dev/comedi0", both}},
       {},
       "",
       {"/dev/comedi1", "/dev/comedi0"},
       "/dev/comedi0",
       "first with a digital subdevice"},
      {"numbered file without a driver",
       true,
       30,
       {{"/dev/comedi2", both}},
       {{"/dev/comedi30", ENODEV}},
       "",
       {"/dev/comedi30", "/dev/comedi0", "/dev/comedi1", "/dev/comedi2"},
       "/dev/comedi2",
       "/dev/comedi2 is the first"},
      {"no card anywhere",
       true,
       30,
       {{"/dev/comedi99", both}},
       {{"/dev/comedi3", EACCES}},
       "",
       {},
       "",
       "no other of /dev/comedi0../dev/comedi15 has an analog-input subdevice that can be "
       "used (AioOpen: cannot open /dev/comedi3: Permission denied (the user must be a member"},
      {"given device file is not searched around",
       true,
       30,
       {{"/dev/comedi0", both}},
       {},
       "/dev/comedi5",
       {"/dev/comedi5"},
       "",
       "cannot open /dev/comedi5: No such file"},
  };
  for (const Case& c : cases) {
    Rig rig({.files = c.files, .open_errno = c.open_errno}, c.device_file);
    const std::int32_t code = c.analog ? rig.OpenAio(c.number) : rig.OpenDio(c.number);
    const std::vector<std::string> opens = Opens(rig.lib->calls);
    if (!c.opens.empty()) {
      EXPECT_EQ(opens, c.opens) << c.name;
    }
    if (c.opened.empty()) {
      EXPECT_EQ(code, daq_code::kNoSuchDevice) << c.name;
      EXPECT_EQ(opens.size(), c.device_file.empty() ? 17u : 1u) << c.name;  // 30, then 0..15
      EXPECT_TRUE(rig.Says(c.says)) << c.name << ": " << rig.driver.LastError();
      EXPECT_EQ(rig.lib->open_handles, 0) << c.name;
      continue;
    }
    ASSERT_EQ(code, 0) << c.name << ": " << rig.driver.LastError();
    EXPECT_EQ(rig.lib->opened.back(), c.opened) << c.name;
    EXPECT_EQ(rig.lib->open_handles, 1) << c.name;
    const std::string note = rig.driver.TakeNotice();
    EXPECT_NE(note.find(c.says), std::string::npos) << c.name << ": " << note;
  }
}

TEST(ComediDriver, OpeningMakesEach8255GroupAnInputWithOneCallPerGroupThatIsNot) {
  struct Case {
    const char* name;
    Script script;
    std::int32_t code;
    Calls config;  // the direction calls made, beyond the four queries
    std::string says;
  };
  const Case cases[] = {
      {"all inputs", {}, 0, {}, ""},
      {"all outputs",
       {.outputs = 0xFFFFFF},
       0,
       {"config_in 3 1 0", "config_in 3 1 8", "config_in 3 1 16", "config_in 3 1 20"},
       "port A (channels 0-7), port B (channels 8-15), port C low (channels 16-19), port C high"},
      {"port B and C high left outputs",
       {.outputs = 0xF0FF00},
       0,
       {"config_in 3 1 8", "config_in 3 1 20"},
       "port B (channels 8-15), port C high"},
      {"driver cannot tell directions",
       {.query_errno = EINVAL},
       0,
       {"config_in 3 1 0", "config_in 3 1 8", "config_in 3 1 16", "config_in 3 1 20"},
       ""},
      {"direction refused",
       {.config_errno = EIO, .outputs = 0x1},
       daq_code::kConfigFailed,
       {"config_in 3 1 0"},
       "port A (channels 0-7) of digital subdevice 1 on /dev/comedi0 cannot "
       "be made an input: Input/output error"},
      {"direction does not change",
       {.outputs = 0x10000, .config_sticks = true},
       daq_code::kConfigFailed,
       {"config_in 3 1 16"},
       "port C low (channels 16-19) of digital "
       "subdevice 1 on /dev/comedi0 stays an output"},
      {"input-only subdevice",
       {.card = {Dio(32, SubdeviceKind::kDigitalIn)}, .outputs = ~0u},
       0,
       {},
       ""},
  };
  for (const Case& c : cases) {
    Rig rig(c.script);
    EXPECT_EQ(rig.OpenDio(), c.code) << c.name << ": " << rig.driver.LastError();
    Calls config;
    for (const std::string& call : rig.lib->calls) {
      if (call.rfind("config_in", 0) == 0) config.push_back(call);
    }
    EXPECT_EQ(config, c.config) << c.name;
    const std::string text = c.code == 0 ? rig.driver.TakeNotice() : rig.driver.LastError();
    EXPECT_NE(text.find(c.says), std::string::npos) << c.name << ": " << text;
    if (c.code == 0 && c.says.empty()) {
      EXPECT_EQ(text, "") << c.name;
    }
    EXPECT_EQ(rig.lib->open_handles, c.code == 0 ? 1 : 0) << c.name;
  }

  // The mode call checks again and finds nothing to change.
  Rig rig({.outputs = 0xFFFFFF});
  ASSERT_EQ(rig.OpenDio(), 0);
  rig.lib->calls.clear();
  EXPECT_EQ(rig.Mode(0x9B), 0);
  EXPECT_EQ(rig.lib->calls,
            (Calls{"is_output 3 1 0", "is_output 3 1 8", "is_output 3 1 16", "is_output 3 1 20"}));
}

TEST(ComediDriver, OneBitfieldReadGivesTheThreePortBytesInTheRequestedOrder) {
  Rig rig;
  ASSERT_EQ(rig.OpenDio(), 0) << rig.driver.LastError();
  struct Case {
    std::array<std::int16_t, 3> ports;
    std::array<std::uint8_t, 3> bytes;
  };
  for (const Case& c : {Case{{0, 1, 2}, {0x34, 0x12, 0xB7}}, Case{{2, 0, 1}, {0xB7, 0x34, 0x12}},
                        Case{{1, 1, 1}, {0x12, 0x12, 0x12}}}) {
    rig.lib->calls.clear();
    rig.dev.PortList = c.ports;
    ASSERT_EQ(rig.ReadPorts(), 0) << rig.driver.LastError();
    EXPECT_EQ(rig.lib->calls, (Calls{"bits 3 1"}));
    EXPECT_EQ(rig.dev.DioData, c.bytes) << c.ports[0] << c.ports[1] << c.ports[2];
  }
}

TEST(ComediDriver, CodesOfAnyBinaryResolutionFromTwelveBitsOnAreRoundedToTwelveBits) {
  struct Case {
    std::uint32_t maxdata;
    std::uint32_t code;
    std::uint16_t twelve;  // the code handed on
  };
  for (const Case& c :
       {Case{4095, 4095, 4095}, Case{4095, 17, 17}, Case{16383, 5, 1}, Case{16383, 6, 2},
        Case{65535, 7, 0}, Case{65535, 8, 1}, Case{65535, 32768, 2048}, Case{65535, 65535, 4095},
        Case{65535, 65527, 4095}, Case{0xFFFFFFFF, 0xFFFFFFFF, 4095},
        Case{0xFFFFFFFF, 0x80000000, 2048}}) {
    Rig rig({.card = {AnalogIn({kTenVolts}, c.maxdata)}, .samples = {c.code, 0}});
    ASSERT_EQ(rig.OpenAio(), 0) << rig.driver.LastError();
    ASSERT_EQ(rig.ReadAnalog(), 0) << rig.driver.LastError();
    EXPECT_EQ(rig.dev.AiData[0], c.twelve) << c.maxdata << " " << c.code;
  }
  Rig sixteen({.card = {AnalogIn({kTenVolts}, 65535)}});
  ASSERT_EQ(sixteen.OpenAio(), 0);
  EXPECT_NE(sixteen.driver.TakeNotice().find("16-bit codes rounded to 12 bits"), std::string::npos);
}

TEST(ComediDriver, TheReferenceIsCheckedAtOpenUsedForEveryReadAndNamed) {
  Rig diff({.card = {Sub{SubdeviceKind::kAnalogIn, 8, {kTenVolts}, 4095, kGroundAndDiff}}});
  diff.driver.SetAnalogReference(AnalogReference::kDifferential);
  ASSERT_EQ(diff.OpenAio(), 0) << diff.driver.LastError();
  diff.lib->calls.clear();
  ASSERT_EQ(diff.ReadAnalog(), 0);
  EXPECT_EQ(diff.lib->calls, (Calls{"read 3 0 0 0 DIFF 15000", "read 3 0 1 0 DIFF 15000"}));

  Rig ground_only({.card = {AnalogIn({kTenVolts})}});
  ground_only.driver.SetAnalogReference(AnalogReference::kDifferential);
  EXPECT_EQ(ground_only.OpenAio(), daq_code::kConfigFailed);
  EXPECT_TRUE(
      ground_only.Says("analog-input subdevice 0 on /dev/comedi0 (DIFF) cannot measure "
                       "against DIFF (it offers GND)"))
      << ground_only.driver.LastError();
  EXPECT_EQ(ground_only.lib->open_handles, 0);
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
  check("no driver attached", {.open_errno = {{card, ENODEV}}}, open_aio, daq_code::kNoSuchDevice,
        {"exists but no driver is attached to it, or its card is gone",
         "sudo comedi_config /dev/comedi0 <driver> <io-base>"},
        card);
  check("no permission", {.open_errno = {{card, EACCES}}}, open_dio, daq_code::kOpenFailed,
        {"DioOpen", card, "iocard"});
  check("negative driver number", {}, [](Rig& r) { return r.OpenAio(-1); }, daq_code::kNoSuchDevice,
        {"driver number -1"});
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
  check("other control word", {}, [](Rig& r) { return r.OpenDio() == 0 ? r.Mode(0x80) : -1; },
        daq_code::kUnsupportedMode, {"80h", "9Bh"});
  check("port not on the card", {.card = {Dio(16)}}, read_dio, daq_code::kNoSuchPort,
        {"port 2 is not on", "ports 0..1"});
  check("failing close", {.close_errno = EIO},
        [](Rig& r) { return r.OpenDio() == 0 ? r.driver.DioClose(r.dev.DioId) : -1; },
        daq_code::kCloseFailed, {"DioClose", card});
  EXPECT_EQ(shown.size(), codes.size());
}

}  // namespace
}  // namespace velquor
