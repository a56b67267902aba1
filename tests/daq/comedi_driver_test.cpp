#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <functional>
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
};

const ComediRange kTenVolts{-10, 10, true}, kFiveVolts{-5, 5, true}, kUnipolar{0, 10, true};

Sub AnalogIn(std::vector<ComediRange> ranges = {kFiveVolts, kTenVolts}, std::uint32_t max = 4095) {
  return {SubdeviceKind::kAnalogIn, 16, std::move(ranges), max};
}
Sub Dio(int channels = 24, SubdeviceKind kind = SubdeviceKind::kDigitalIo) {
  return {kind, channels, {}, 1};
}

// What the scripted library answers; the defaults are a working card.
struct Script {
  std::vector<Sub> card{AnalogIn(), Dio()};
  int open_errno = 0;   // non-zero: Open fails with this error
  int read_result = 1;  // a data read gives the number of samples read
  std::array<std::uint32_t, 2> samples{2100, 2042};
  int config_result = 0, bits_result = 0, close_result = 0;
  std::uint32_t bits = 0x00B71234;
};

// A scripted comedilib: every call is written to `calls`.
class FakeComedi : public ComediSeam {
 public:
  explicit FakeComedi(Script script) : s(std::move(script)) {}
  Script s;
  std::vector<std::string> calls;
  int open_handles = 0, next_handle = 3;

  int Open(const std::string& path) override {
    const bool fails = s.open_errno != 0;
    if (!fails) ++open_handles;
    return Logged(fails ? -1 : next_handle++, "open " + path);
  }
  int Close(int dev) override {
    --open_handles;
    return Logged(s.close_result, "close", dev);
  }
  int SubdeviceCount(int d) override {
    return Logged(static_cast<int>(s.card.size()), "n_subdevices", d);
  }
  SubdeviceKind Kind(int d, int sd) override { return Logged(At(sd).kind, "type", d, sd); }
  int ChannelCount(int d, int sd) override { return Logged(At(sd).channels, "n_channels", d, sd); }
  int RangeCount(int d, int sd, int c) override {
    return Logged(static_cast<int>(At(sd).ranges.size()), "n_ranges", d, sd, c);
  }
  std::optional<ComediRange> Range(int d, int sd, int c, int r) override {
    return Logged(At(sd).ranges.at(static_cast<std::size_t>(r)), "range", d, sd, c, r);
  }
  std::uint32_t MaxData(int d, int sd, int c) override {
    return Logged(At(sd).maxdata, "maxdata", d, sd, c);
  }
  int DataRead(int d, int sd, int c, int r, std::uint32_t& data) override {
    data = s.samples.at(static_cast<std::size_t>(c));
    return Logged(s.read_result, "read", d, sd, c, r);
  }
  int DioConfigInput(int d, int sd, int c) override {
    return Logged(s.config_result, "config_in", d, sd, c);
  }
  int DioReadBits(int d, int sd, std::uint32_t& out) override {
    out = s.bits;
    return Logged(s.bits_result, "bits", d, sd);
  }
  ComediFailure LastFailure() override {
    const int n = s.open_errno != 0 ? s.open_errno : EIO;
    return {n, std::strerror(n)};
  }

 private:
  const Sub& At(int sd) const { return s.card.at(static_cast<std::size_t>(sd)); }
  // Writes the call and its numbers to `calls`, then gives the scripted answer.
  template <typename T, typename... Ints>
  T Logged(T answer, std::string line, Ints... v) {
    ((line += " " + std::to_string(v)), ...);
    calls.push_back(line);
    return answer;
  }
};

// A driver over a fake card; the test keeps a view of the fake the driver owns.
struct Card {
  FakeComedi* lib;
  ComediDriver driver;
  DeviceState dev;

  explicit Card(Script s = {}, std::string file = {})
      : Card(std::make_unique<FakeComedi>(std::move(s)), std::move(file)) {}

  std::int32_t OpenAio(std::int16_t drv = 30, std::int16_t grp = 1) {
    return driver.AioOpen(dev.AioId, drv, grp);
  }
  std::int32_t OpenDio(std::int16_t drv = 1, std::int16_t grp = 1) {
    return driver.DioOpen(dev.DioId, drv, grp);
  }
  std::int32_t ReadAnalog() { return driver.AioInp(dev.AioId, dev.AioReq); }
  std::int32_t ReadPorts() { return driver.DioInp(dev.DioId, dev.DioReq); }
  std::int32_t Mode(std::int16_t word) { return driver.Dio8255Mode(dev.DioId, 0, word); }

 private:
  Card(std::unique_ptr<FakeComedi> fake, std::string file)
      : lib(fake.get()), driver(std::move(fake), std::move(file)) {
    dev.ChannelList.at(1) = 1;
    dev.AioReq = {&dev.AiData, &dev.ChannelList, 2};
    dev.PortList = {0, 1, 2};
    dev.DioReq = {&dev.PortList, 3, &dev.DioData};
  }
};

using Calls = std::vector<std::string>;

TEST(ComediDriver, AnalogOpenFindsTheTenVoltRangeChecksTwelveBitsReadsAndReopens) {
  Card card({.card = {AnalogIn({kFiveVolts, kTenVolts, kUnipolar})}});
  ASSERT_EQ(card.OpenAio(0), 0) << card.driver.LastError();
  EXPECT_EQ(card.dev.AioId, ComediDriver::kAioId);
  EXPECT_EQ(card.lib->calls,
            (Calls{"open /dev/comedi0", "n_subdevices 3", "type 3 0", "n_channels 3 0",
                   "n_ranges 3 0 0", "range 3 0 0 0", "range 3 0 0 1", "maxdata 3 0 0",
                   "n_ranges 3 0 1", "range 3 0 1 0", "range 3 0 1 1", "maxdata 3 0 1"}));
  card.lib->calls.clear();
  // The library's read gives 1, the number of samples read: that is success.
  ASSERT_EQ(card.ReadAnalog(), 0) << card.driver.LastError();
  EXPECT_EQ(card.lib->calls, (Calls{"read 3 0 0 1", "read 3 0 1 1"}));
  EXPECT_EQ(card.dev.AiData, (std::array<std::uint16_t, 2>{2100, 2042}));

  // Opening again first closes what was open; a refused reopen leaves nothing open.
  card.lib->calls.clear();
  ASSERT_EQ(card.OpenAio(2), 0);
  EXPECT_EQ(card.lib->open_handles, 1);
  EXPECT_EQ(Calls(card.lib->calls.begin(), card.lib->calls.begin() + 2),
            (Calls{"close 3", "open /dev/comedi2"}));
  EXPECT_EQ(card.OpenAio(-1), daq_code::kNoSuchDevice);
  EXPECT_EQ(card.lib->open_handles, 0);
}

TEST(ComediDriver, ModeMakesThePortsInputsAndOneReadGivesTheThreeBytes) {
  Card card;
  ASSERT_EQ(card.OpenDio(), 0) << card.driver.LastError();
  EXPECT_EQ(card.lib->calls, (Calls{"open /dev/comedi1", "n_subdevices 3", "type 3 0", "type 3 1",
                                    "n_channels 3 1"}));
  card.lib->calls.clear();
  ASSERT_EQ(card.Mode(0x9B), 0);
  Calls inputs;
  for (int c = 0; c < 24; ++c) inputs.push_back("config_in 3 1 " + std::to_string(c));
  EXPECT_EQ(card.lib->calls, inputs);

  // Ports A, B, C are bytes 0, 1, 2 of the channel word; the request's port list orders them.
  struct Case {
    std::array<std::int16_t, 3> ports;
    std::array<std::uint8_t, 3> bytes;
  };
  for (const Case& c : {Case{{0, 1, 2}, {0x34, 0x12, 0xB7}}, Case{{2, 0, 1}, {0xB7, 0x34, 0x12}},
                        Case{{1, 1, 1}, {0x12, 0x12, 0x12}}}) {
    card.lib->calls.clear();
    card.dev.PortList = c.ports;
    ASSERT_EQ(card.ReadPorts(), 0) << card.driver.LastError();
    EXPECT_EQ(card.lib->calls, (Calls{"bits 3 1"}));
    EXPECT_EQ(card.dev.DioData, c.bytes) << c.ports[0] << c.ports[1] << c.ports[2];
  }
}

TEST(ComediDriver, GroupNumberPicksTheNthSubdeviceOfItsKind) {
  const Script script{
      .card = {Dio(), AnalogIn(), Dio(24, SubdeviceKind::kDigitalIn), AnalogIn(), {}}};
  struct Case {
    bool analog;
    std::int16_t group;
    int subdev;  // -1: no such subdevice
  };
  for (const Case& c : {Case{true, 1, 1}, Case{true, 2, 3}, Case{true, 3, -1}, Case{true, 0, -1},
                        Case{false, 1, 0}, Case{false, 2, 2}, Case{false, 3, -1}}) {
    Card card(script);
    const std::string label = (c.analog ? "analog " : "digital ") + std::to_string(c.group);
    const std::int32_t code = c.analog ? card.OpenAio(0, c.group) : card.OpenDio(0, c.group);
    if (c.subdev < 0) {
      EXPECT_EQ(code, daq_code::kNoSuchDevice) << label;
      EXPECT_NE(card.driver.LastError().find("group number " + std::to_string(c.group)),
                std::string::npos)
          << card.driver.LastError();
      EXPECT_EQ(card.lib->open_handles, 0) << label;
      continue;
    }
    ASSERT_EQ(code, 0) << label << ": " << card.driver.LastError();
    card.lib->calls.clear();
    ASSERT_EQ(c.analog ? card.ReadAnalog() : card.ReadPorts(), 0) << label;
    const std::string read_on = (c.analog ? "read 3 " : "bits 3 ") + std::to_string(c.subdev);
    EXPECT_EQ(card.lib->calls.front().rfind(read_on, 0), 0u) << label;
  }
}

TEST(ComediDriver, InputOnlySubdeviceNeedsNoDirectionAndSmallerOnesConfigureWhatTheyHave) {
  Card di({.card = {Dio(32, SubdeviceKind::kDigitalIn)}});
  ASSERT_EQ(di.OpenDio(0), 0);
  di.lib->calls.clear();
  EXPECT_EQ(di.Mode(0x9B), 0);
  EXPECT_TRUE(di.lib->calls.empty());

  Card small({.card = {Dio(16)}});
  ASSERT_EQ(small.OpenDio(0), 0);
  small.lib->calls.clear();
  EXPECT_EQ(small.Mode(0x9B), 0);
  EXPECT_EQ(small.lib->calls.size(), 16u);
  EXPECT_EQ(small.lib->calls.back(), "config_in 3 0 15");
}

TEST(ComediDriver, EachFailureGivesItsOwnCodeAndAReadableReason) {
  using Op = std::function<std::int32_t(Card&)>;
  const Op open_aio = [](Card& c) { return c.OpenAio(); };
  const Op open_dio = [](Card& c) { return c.OpenDio(); };
  const Op read_aio = [](Card& c) { return c.OpenAio() == 0 ? c.ReadAnalog() : -1; };
  const Op read_dio = [](Card& c) { return c.OpenDio() == 0 ? c.ReadPorts() : -1; };
  const auto mode = [](std::int16_t word) {
    return [word](Card& c) { return c.OpenDio() == 0 ? c.Mode(word) : -1; };
  };
  std::set<std::int32_t> codes;
  std::set<std::string> shown;
  auto check = [&](const char* name, const Script& script, const Op& op, std::int32_t code,
                   const std::vector<std::string>& says) {
    Card card(script);
    EXPECT_EQ(op(card), code) << name;
    for (const std::string& part : says) {
      EXPECT_NE(card.driver.LastError().find(part), std::string::npos)
          << name << ": \"" << card.driver.LastError() << "\" lacks \"" << part << "\"";
    }
    // The screens show three hex digits: each kind of failure must stay apart and never read 000h.
    codes.insert(code);
    shown.insert(ReturnCodeText(code));
    EXPECT_NE(ReturnCodeText(code), "000h") << name;
    if (card.dev.AioId == 0 && card.dev.DioId == 0) {
      // No device came open: nothing may be left open behind the refusal.
      EXPECT_EQ(card.lib->open_handles, 0) << name;
      EXPECT_EQ(card.ReadAnalog(), daq_code::kNotOpen) << name;
    }
  };
  check("missing device", {.open_errno = ENOENT}, open_aio, daq_code::kNoSuchDevice,
        {"AioOpen", "/dev/comedi30", "No such file"});
  check("no permission", {.open_errno = EACCES}, open_dio, daq_code::kOpenFailed,
        {"DioOpen", "/dev/comedi1", "iocard"});
  check("negative driver number", {}, [](Card& c) { return c.OpenAio(-1); },
        daq_code::kNoSuchDevice, {"driver number -1"});
  check("no ten-volt range", {.card = {AnalogIn({kFiveVolts, kUnipolar})}}, open_aio,
        daq_code::kRangeUnavailable, {"channel 0", "-10..10 V", "-5..5 V, 0..10 V"});
  check("sixteen-bit card", {.card = {AnalogIn({kTenVolts}, 65535)}}, open_aio,
        daq_code::kResolutionMismatch, {"0..65535", "12-bit"});
  check("failing analog read", {.read_result = -1}, read_aio, daq_code::kReadFailed,
        {"AioInp", "channel 0", "/dev/comedi30", "Input/output error"});
  check("read without a sample", {.read_result = 0}, read_aio, daq_code::kReadFailed,
        {"no sample"});
  check("code above twelve bits", {.samples = {4096, 0}}, read_aio, daq_code::kReadFailed,
        {"code 4096"});
  check("failing port read", {.bits_result = -1}, read_dio, daq_code::kReadFailed,
        {"DioInp", "digital subdevice 1", "Input/output error"});
  check("other control word", {}, mode(0x80), daq_code::kUnsupportedMode, {"80h", "9Bh"});
  check("direction refused", {.config_result = -1}, mode(0x9B), daq_code::kConfigFailed,
        {"channel 0", "input", "Input/output error"});
  check("port not on the card", {.card = {Dio(16)}}, read_dio, daq_code::kNoSuchPort,
        {"port 2 is not on", "ports 0..1"});
  check("failing close", {.close_result = -1},
        [](Card& c) { return c.OpenDio() == 0 ? c.driver.DioClose(c.dev.DioId) : -1; },
        daq_code::kCloseFailed, {"DioClose", "/dev/comedi1"});
  EXPECT_EQ(shown.size(), codes.size());
}

}  // namespace
}  // namespace velquor
