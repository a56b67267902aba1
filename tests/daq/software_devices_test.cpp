#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "daq/device_access.h"
#include "daq/sim_rig.h"
#include "replay/replay_backend.h"

namespace velquor {
namespace {

// Both software devices, fresh: the simulated rig and a replay of two samples.
std::vector<std::pair<std::string, std::function<std::unique_ptr<SoftwareDevices>()>>> Devices() {
  return {{"simulated", [] { return std::make_unique<SimRig>(3); }},
          {"replayed", [] {
             return std::make_unique<ReplayBackend>(
                 "r_csv.csv", std::vector{ReplaySampleOf({1844, 2834}, {1.5, -2.5}),
                                          ReplaySampleOf({7, 4095}, {-10, 10})});
           }}};
}

// Opened from Card Setting's first numbers, the mode set and both requests built.
void Open(SoftwareDevices& d, DeviceState& s) {
  ASSERT_EQ(OpenAioCard(d, s, {}).retInf, "AioOpen Return Code = 000h");
  ASSERT_EQ(OpenDioCard(d, s, {}).retInf, "Dio8255Mode Return Code = 000h");
}

TEST(SoftwareDevices, BothRefuseWhatARealCardRefusesWithTheSameCodeAndReason) {
  struct Row {
    const char* name;
    std::function<std::int32_t(SoftwareDevices&, DeviceState&)> call;
    std::int32_t code;
    std::string says;  // "KIND" stands for the device's kind
  };
  const std::vector<Row> rows = {
      {"DIO id on the A/D device", [](auto& d, auto& s) { return d.AioInp(s.DioId, s.AioReq); },
       daq_code::kNotOpen, "AioInp: the KIND A/D device is not open"},
      {"closed twice", [](auto& d, auto& s) { return d.DioClose(s.DioId) | d.DioClose(s.DioId); },
       daq_code::kNotOpen, "DioClose: the KIND DIO device is not open"},
      {"request never built", [](auto& d, auto& s) { return d.DioInp(s.DioId, s.DioReq = {}); },
       daq_code::kRequestNotBuilt, "DioInp: the read request was never built"},
      {"other control word", [](auto& d, auto& s) { return d.Dio8255Mode(s.DioId, 0, 0x80); },
       daq_code::kUnsupportedMode,
       "Dio8255Mode: control word 80h on chip 0 is not supported; only 9Bh on chip 0"},
      {"other chip", [](auto& d, auto& s) { return d.Dio8255Mode(s.DioId, 1, 0x9B); },
       daq_code::kUnsupportedMode, "control word 9Bh on chip 1 is not supported"},
      {"unknown channel",
       [](auto& d, auto& s) {
         s.ChannelList[1] = 2;
         return d.AioInp(s.AioId, s.AioReq);
       },
       daq_code::kConfigFailed,
       "AioInp: channel 2 is not on the KIND A/D device (channels 0 and 1"},
      {"unknown port",
       [](auto& d, auto& s) {
         s.PortList[2] = 3;
         return d.DioInp(s.DioId, s.DioReq);
       },
       daq_code::kNoSuchPort, "DioInp: port 3 is not on the KIND DIO device (ports 0..2 are)"},
  };
  for (const auto& [kind, make] : Devices()) {
    for (const Row& row : rows) {
      auto device = make();
      DeviceState s;
      Open(*device, s);
      EXPECT_EQ(row.call(*device, s), row.code) << kind << ": " << row.name;
      std::string says = row.says;
      if (const auto at = says.find("KIND"); at != std::string::npos) says.replace(at, 4, kind);
      EXPECT_NE(device->LastError().find(says), std::string::npos)
          << kind << ": " << row.name << ": " << device->LastError();
    }
  }
}

TEST(SoftwareDevices, BothGiveChannelsAndPortsInTheRequestedOrderAndSkipNoSampleOnARefusal) {
  for (const auto& [kind, make] : Devices()) {
    auto in_order = make();
    auto swapped = make();
    DeviceState a, b;
    Open(*in_order, a);
    Open(*swapped, b);
    b.PortList = {0, 1, 7};
    ASSERT_EQ(swapped->DioInp(b.DioId, b.DioReq), daq_code::kNoSuchPort) << kind;
    b.ChannelList = {1, 0};
    b.PortList = {2, 0, 1};
    for (int read = 0; read < 3; ++read) {
      ASSERT_EQ(in_order->AioInp(a.AioId, a.AioReq) | in_order->DioInp(a.DioId, a.DioReq), 0);
      ASSERT_EQ(swapped->AioInp(b.AioId, b.AioReq) | swapped->DioInp(b.DioId, b.DioReq), 0);
      EXPECT_EQ(b.AiData, (std::array{a.AiData[1], a.AiData[0]})) << kind << " " << read;
      EXPECT_EQ(b.DioData, (std::array{a.DioData[2], a.DioData[0], a.DioData[1]})) << kind;
    }
  }
}

}  // namespace
}  // namespace velquor
