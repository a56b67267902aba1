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

struct FakeSubdevice {
  SubdeviceKind kind = SubdeviceKind::kOther;
  int channels = 0;
  std::vector<ComediRange> ranges;
  std::uint32_t maxdata = 0;
};

const ComediRange kTenVolts{-10, 10, true};
const ComediRange kFiveVolts{-5, 5, true};
const ComediRange kUnipolar{0, 10, true};

FakeSubdevice AnalogIn(std::vector<ComediRange> ranges = {kFiveVolts, kTenVolts},
                       std::uint32_t maxdata = 4095) {
  return {SubdeviceKind::kAnalogIn, 16, std::move(ranges), maxdata};
}
FakeSubdevice Dio(int channels = 24) {
  return {SubdeviceKind::kDigitalIo, channels, {}, 1};
}

// A scripted comedilib: a card described by its subdevices, every call written to `calls`.
class FakeComedi : public ComediSeam {
 public:
  std::vector<FakeSubdevice> card;
  std::vector<std::string> calls;
  int open_errno = 0;  // non-zero: Open fails with this error
  int open_handles = 0;
  int read_result = 1;  // what a data read returns: the number of samples read
  std::array<std::uint32_t, 2> samples{2100, 2042};
  int config_result = 0;
  int bits_result = 0;
  std::uint32_t bits = 0;
  int close_result = 0;
  ComediFailure failure{EIO, "Input/output error"};

  int Open(const std::string& path) override {
    Log("open " + path);
    if (open_errno != 0) {
      failure = {open_errno, std::strerror(open_errno)};
      return -1;
    }
    ++open_handles;
    return next_handle_++;
  }
  int Close(int dev) override {
    Log("close " + std::to_string(dev));
    --open_handles;
    return close_result;
  }
  int SubdeviceCount(int dev) override {
    Log("n_subdevices " + std::to_string(dev));
    return static_cast<int>(card.size());
  }
  SubdeviceKind Kind(int dev, int s) override {
    Log("type", dev, s);
    return Sub(s).kind;
  }
  int ChannelCount(int dev, int s) override {
    Log("n_channels", dev, s);
    return Sub(s).channels;
  }
  int RangeCount(int dev, int s, int chan) override {
    Log("n_ranges", dev, s, chan);
    return static_cast<int>(Sub(s).ranges.size());
  }
  std::optional<ComediRange> Range(int dev, int s, int chan, int r) override {
    Log("range", dev, s, chan, r);
    return Sub(s).ranges.at(static_cast<std::size_t>(r));
  }
  std::uint32_t MaxData(int dev, int s, int chan) override {
    Log("maxdata", dev, s, chan);
    return Sub(s).maxdata;
  }
  int DataRead(int dev, int s, int chan, int r, std::uint32_t& data) override {
    Log("read", dev, s, chan, r);
    data = samples.at(static_cast<std::size_t>(chan));
    return read_result;
  }
  int DioConfigInput(int dev, int s, int chan) override {
    Log("config_in", dev, s, chan);
    return config_result;
  }
  int DioReadBits(int dev, int s, std::uint32_t& out) override {
    Log("bits", dev, s);
    out = bits;
    return bits_result;
  }
  ComediFailure LastFailure() override { return failure; }

 private:
  const FakeSubdevice& Sub(int s) const { return card.at(static_cast<std::size_t>(s)); }
  void Log(const std::string& what, int a = -1, int b = -1, int c = -1, int d = -1) {
    std::string line = what;
    for (int v : {a, b, c, d}) {
      if (v >= 0) line += " " + std::to_string(v);
    }
    calls.push_back(line);
  }
  int next_handle_ = 3;
};

// A driver over a fake card; the test keeps a view of the fake the driver owns.
struct Card {
  FakeComedi* lib;
  ComediDriver driver;
  DeviceState dev;

  explicit Card(std::vector<FakeSubdevice> subdevices, std::string device_file = {})
      : Card(std::make_unique<FakeComedi>(), std::move(subdevices), std::move(device_file)) {}

  std::int32_t ReadAnalog() { return driver.AioInp(dev.AioId, dev.AioReq); }
  std::int32_t ReadPorts() { return driver.DioInp(dev.DioId, dev.DioReq); }

 private:
  Card(std::unique_ptr<FakeComedi> fake, std::vector<FakeSubdevice> subdevices,
       std::string device_file)
      : lib(fake.get()), driver(std::move(fake), std::move(device_file)) {
    lib->card = std::move(subdevices);
    for (int k = 0; k < 32; ++k)
      dev.ChannelList.at(static_cast<std::size_t>(k)) = static_cast<std::int16_t>(k);
    dev.AioReq = {&dev.AiData, &dev.ChannelList, 2};
    dev.PortList = {0, 1, 2};
    dev.DioReq = {&dev.PortList, 3, &dev.DioData};
  }
};

using Calls = std::vector<std::string>;

TEST(ComediDriver, AnalogOpenFindsTheTenVoltRangeChecksTwelveBitsAndReadsBothChannels) {
  Card card({AnalogIn({kFiveVolts, kTenVolts, kUnipolar})});
  ASSERT_EQ(card.driver.AioOpen(card.dev.AioId, 0, 1), 0) << card.driver.LastError();
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
}

TEST(ComediDriver, ModeMakesThePortsInputsAndOneReadGivesTheThreeBytes) {
  Card card({AnalogIn(), Dio()});
  ASSERT_EQ(card.driver.DioOpen(card.dev.DioId, 1, 1), 0) << card.driver.LastError();
  EXPECT_EQ(card.lib->calls, (Calls{"open /dev/comedi1", "n_subdevices 3", "type 3 0", "type 3 1",
                                    "n_channels 3 1"}));
  card.lib->calls.clear();
  ASSERT_EQ(card.driver.Dio8255Mode(card.dev.DioId, 0, 0x9B), 0);
  Calls inputs;
  for (int c = 0; c < 24; ++c) inputs.push_back("config_in 3 1 " + std::to_string(c));
  EXPECT_EQ(card.lib->calls, inputs);

  // Ports A, B, C are bytes 0, 1, 2 of the channel word; the request's port list orders them.
  card.lib->bits = 0x00B71234;
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
  const std::vector<FakeSubdevice> subdevices = {
      Dio(), AnalogIn(), {SubdeviceKind::kDigitalIn, 24, {}, 1}, AnalogIn(), {}};
  struct Case {
    bool analog;
    std::int16_t group;
    int subdev;  // -1: no such subdevice
  };
  for (const Case& c : {Case{true, 1, 1}, Case{true, 2, 3}, Case{true, 3, -1}, Case{true, 0, -1},
                        Case{false, 1, 0}, Case{false, 2, 2}, Case{false, 3, -1}}) {
    Card card(subdevices);
    const std::string label =
        (c.analog ? "analog group " : "digital group ") + std::to_string(c.group);
    std::int32_t code = c.analog ? card.driver.AioOpen(card.dev.AioId, 0, c.group)
                                 : card.driver.DioOpen(card.dev.DioId, 0, c.group);
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
    EXPECT_EQ(card.lib->calls.front().rfind(read_on, 0), 0u)
        << label << ": " << card.lib->calls.front();
  }
}

TEST(ComediDriver, InputOnlySubdeviceNeedsNoDirectionAndSmallerOnesConfigureWhatTheyHave) {
  Card di({{SubdeviceKind::kDigitalIn, 32, {}, 1}});
  ASSERT_EQ(di.driver.DioOpen(di.dev.DioId, 0, 1), 0);
  di.lib->calls.clear();
  EXPECT_EQ(di.driver.Dio8255Mode(di.dev.DioId, 0, 0x9B), 0);
  EXPECT_TRUE(di.lib->calls.empty());

  Card small({Dio(16)});
  ASSERT_EQ(small.driver.DioOpen(small.dev.DioId, 0, 1), 0);
  small.lib->calls.clear();
  EXPECT_EQ(small.driver.Dio8255Mode(small.dev.DioId, 0, 0x9B), 0);
  EXPECT_EQ(small.lib->calls.size(), 16u);
  EXPECT_EQ(small.lib->calls.back(), "config_in 3 0 15");
  // Two ports only: the third port of the default list is not there.
  EXPECT_EQ(small.ReadPorts(), daq_code::kNoSuchPort);
  EXPECT_NE(small.driver.LastError().find("ports 0..1"), std::string::npos)
      << small.driver.LastError();
}

TEST(ComediDriver, EachFailureGivesItsOwnCodeAndAReadableReason) {
  struct Case {
    const char* name;
    std::function<void(Card&)> setup;  // runs before the operation
    std::function<std::int32_t(Card&)> op;
    std::int32_t code;
    std::vector<std::string> says;
  };
  auto open_aio = [](Card& c) { return c.driver.AioOpen(c.dev.AioId, 30, 1); };
  auto open_dio = [](Card& c) { return c.driver.DioOpen(c.dev.DioId, 1, 1); };
  auto nothing = [](Card&) {};
  const std::vector<Case> cases = {
      {"missing device",
       [](Card& c) { c.lib->open_errno = ENOENT; },
       open_aio,
       daq_code::kNoSuchDevice,
       {"AioOpen", "/dev/comedi30", "No such file"}},
      {"no permission",
       [](Card& c) { c.lib->open_errno = EACCES; },
       open_dio,
       daq_code::kOpenFailed,
       {"DioOpen", "/dev/comedi1", "iocard"}},
      {"no ten-volt range",
       [](Card& c) {
         c.lib->card[0] = AnalogIn({kFiveVolts, kUnipolar});
       },
       open_aio,
       daq_code::kRangeUnavailable,
       {"channel 0", "-10..10 V", "-5..5 V, 0..10 V"}},
      {"sixteen-bit card",
       [](Card& c) { c.lib->card[0] = AnalogIn({kTenVolts}, 65535); },
       open_aio,
       daq_code::kResolutionMismatch,
       {"0..65535", "12-bit"}},
      {"failing analog read",
       [](Card& c) { c.lib->read_result = -1; },
       [&](Card& c) { return open_aio(c) == 0 ? c.ReadAnalog() : -1; },
       daq_code::kReadFailed,
       {"AioInp", "channel 0", "/dev/comedi30", "Input/output error"}},
      {"read without a sample",
       [](Card& c) { c.lib->read_result = 0; },
       [&](Card& c) { return open_aio(c) == 0 ? c.ReadAnalog() : -1; },
       daq_code::kReadFailed,
       {"no sample"}},
      {"code above twelve bits",
       [](Card& c) {
         c.lib->samples = {4096, 0};
       },
       [&](Card& c) { return open_aio(c) == 0 ? c.ReadAnalog() : -1; },
       daq_code::kReadFailed,
       {"code 4096"}},
      {"failing port read",
       [](Card& c) { c.lib->bits_result = -1; },
       [&](Card& c) { return open_dio(c) == 0 ? c.ReadPorts() : -1; },
       daq_code::kReadFailed,
       {"DioInp", "digital subdevice 1", "Input/output error"}},
      {"other control word",
       nothing,
       [&](Card& c) { return open_dio(c) == 0 ? c.driver.Dio8255Mode(c.dev.DioId, 0, 0x80) : -1; },
       daq_code::kUnsupportedMode,
       {"80h", "9Bh"}},
      {"direction refused",
       [](Card& c) { c.lib->config_result = -1; },
       [&](Card& c) { return open_dio(c) == 0 ? c.driver.Dio8255Mode(c.dev.DioId, 0, 0x9B) : -1; },
       daq_code::kConfigFailed,
       {"channel 0", "input", "Input/output error"}},
      {"port not on the card",
       [](Card& c) {
         c.dev.PortList = {0, 1, 3};
       },
       [&](Card& c) { return open_dio(c) == 0 ? c.ReadPorts() : -1; },
       daq_code::kNoSuchPort,
       {"port 3", "ports 0..2"}},
      {"read before open",
       nothing,
       [](Card& c) { return c.ReadAnalog(); },
       daq_code::kNotOpen,
       {"not open"}},
      {"failing close",
       [](Card& c) { c.lib->close_result = -1; },
       [&](Card& c) { return open_dio(c) == 0 ? c.driver.DioClose(c.dev.DioId) : -1; },
       daq_code::kCloseFailed,
       {"DioClose", "/dev/comedi1"}},
  };
  std::set<std::int32_t> codes;
  std::set<std::string> shown;
  for (const Case& c : cases) {
    Card card({AnalogIn(), Dio()});
    c.setup(card);
    EXPECT_EQ(c.op(card), c.code) << c.name;
    for (const std::string& part : c.says) {
      EXPECT_NE(card.driver.LastError().find(part), std::string::npos)
          << c.name << ": \"" << card.driver.LastError() << "\" lacks \"" << part << "\"";
    }
    // The screens show three hex digits: each kind of failure must stay apart and never read 000h.
    codes.insert(c.code);
    shown.insert(ReturnCodeText(c.code));
    EXPECT_NE(ReturnCodeText(c.code), "000h") << c.name;
    if (card.dev.AioId == 0 && card.dev.DioId == 0) {
      // No device came open: nothing may be left open behind the refusal.
      EXPECT_EQ(card.lib->open_handles, 0) << c.name;
      EXPECT_EQ(card.ReadAnalog(), daq_code::kNotOpen) << c.name;
    }
  }
  EXPECT_EQ(shown.size(), codes.size());
}

TEST(ComediDriver, OpeningAgainReplacesTheDeviceAndOneDeviceFileServesBoth) {
  Card card({AnalogIn(), Dio()});
  ASSERT_EQ(card.driver.AioOpen(card.dev.AioId, 0, 1), 0);
  ASSERT_EQ(card.driver.AioOpen(card.dev.AioId, 2, 1), 0);
  EXPECT_EQ(card.lib->open_handles, 1);
  EXPECT_EQ(card.lib->calls.at(12), "close 3");
  EXPECT_EQ(card.lib->calls.at(13), "open /dev/comedi2");
  EXPECT_EQ(card.driver.AioOpen(card.dev.AioId, -1, 1), daq_code::kNoSuchDevice);
  EXPECT_EQ(card.lib->open_handles, 0);

  Card one({AnalogIn(), Dio()}, "/dev/comedi7");
  ASSERT_EQ(one.driver.AioOpen(one.dev.AioId, 30, 1), 0);
  ASSERT_EQ(one.driver.DioOpen(one.dev.DioId, 1, 1), 0);
  EXPECT_EQ(one.lib->calls.front(), "open /dev/comedi7");
  EXPECT_EQ(one.lib->open_handles, 2);
  EXPECT_EQ(one.driver.Describe(), "comedilib card /dev/comedi7");
}

}  // namespace
}  // namespace velquor
