#include "daq/software_devices.h"

#include <algorithm>
#include <utility>

#include "daq/dio_mode.h"

namespace velquor {
namespace {

constexpr const char* kAio = "A/D device";
constexpr const char* kDio = "DIO device";

// The place of the first of a request's `count` channels or ports that is not 0..limit-1,
// or -1 when all are.
template <std::size_t N>
int FirstUnknown(const std::array<std::int16_t, N>& list, int count, int limit) {
  for (int k = 0; k < count; ++k) {
    const int n = list.at(static_cast<std::size_t>(k));
    if (n < 0 || n >= limit) return k;
  }
  return -1;
}

// Each of the request's first `count` channels or ports given its value, in the request's order.
template <std::size_t N, class Values, class Out>
void Pick(const std::array<std::int16_t, N>& list, int count, const Values& values, Out& out) {
  for (std::size_t k = 0; k < static_cast<std::size_t>(count); ++k) {
    out.at(k) = values.at(static_cast<std::size_t>(list.at(k)));
  }
}

}  // namespace

std::int32_t SoftwareDevices::Fail(std::int32_t code, std::string why) {
  last_error_ = std::move(why);
  return code;
}

std::int32_t SoftwareDevices::CheckOpen(const char* op, bool open, std::int32_t id,
                                        std::int32_t want, const char* device) {
  if (open && id == want) return daq_code::kOk;
  return Fail(daq_code::kNotOpen, std::string(op) + ": " + Device(device) + " is not open");
}

std::int32_t SoftwareDevices::Open(std::int32_t& id, std::int32_t given, bool& open) {
  id = given;
  open = true;
  return daq_code::kOk;
}

std::int32_t SoftwareDevices::Close(const char* op, std::int32_t id, std::int32_t want, bool& open,
                                    const char* device) {
  if (auto code = CheckOpen(op, open, id, want, device)) return code;
  open = false;
  return daq_code::kOk;
}

std::int32_t SoftwareDevices::AioOpen(std::int32_t& id, std::int16_t, std::int16_t) {
  return Open(id, kAioId, aio_open_);
}

std::int32_t SoftwareDevices::AioInp(std::int32_t id, AioRequest& req) {
  if (auto code = CheckOpen("AioInp", aio_open_, id, kAioId, kAio)) return code;
  if (!req.Built())
    return Fail(daq_code::kRequestNotBuilt, "AioInp: the read request was never built");
  const int count = std::clamp<int>(req.ChannelCount, 0, 2);
  if (const int k = FirstUnknown(*req.ChannelList, count, 2); k >= 0) {
    return Fail(daq_code::kConfigFailed,
                "AioInp: channel " +
                    std::to_string((*req.ChannelList).at(static_cast<std::size_t>(k))) +
                    " is not on " + Device(kAio) + " (channels 0 and 1 are)");
  }
  std::array<std::uint16_t, 2> codes{};
  if (auto code = NextCodes(codes)) return code;
  Pick(*req.ChannelList, count, codes, *req.AiData);
  return daq_code::kOk;
}

std::int32_t SoftwareDevices::AioClose(std::int32_t id) {
  return Close("AioClose", id, kAioId, aio_open_, kAio);
}

std::int32_t SoftwareDevices::DioOpen(std::int32_t& id, std::int16_t, std::int16_t) {
  return Open(id, kDioId, dio_open_);
}

std::int32_t SoftwareDevices::Dio8255Mode(std::int32_t id, std::int16_t chip,
                                          std::int16_t control) {
  if (auto code = CheckOpen("Dio8255Mode", dio_open_, id, kDioId, kDio)) return code;
  if (IsAllInputsMode(chip, control)) return daq_code::kOk;
  return Fail(daq_code::kUnsupportedMode, ModeRefusal(chip, control));
}

std::int32_t SoftwareDevices::DioInp(std::int32_t id, DioRequest& req) {
  if (auto code = CheckOpen("DioInp", dio_open_, id, kDioId, kDio)) return code;
  if (!req.Built())
    return Fail(daq_code::kRequestNotBuilt, "DioInp: the read request was never built");
  const int count = std::clamp<int>(req.PortCount, 0, 3);
  if (const int k = FirstUnknown(*req.PortList, count, 3); k >= 0) {
    return Fail(daq_code::kNoSuchPort,
                "DioInp: port " + std::to_string((*req.PortList).at(static_cast<std::size_t>(k))) +
                    " is not on " + Device(kDio) + " (ports 0..2 are)");
  }
  EncoderPortBytes ports{};
  if (auto code = NextPorts(ports)) return code;
  Pick(*req.PortList, count, ports, *req.DioData);
  return daq_code::kOk;
}

std::int32_t SoftwareDevices::DioClose(std::int32_t id) {
  return Close("DioClose", id, kDioId, dio_open_, kDio);
}

}  // namespace velquor
