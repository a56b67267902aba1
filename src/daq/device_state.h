// What the open routines leave for every later read: device identifiers, the last return
// code, the raw data buffers and the two read requests that point into them.
#pragma once

#include <array>
#include <cstdint>

namespace velquor {

// The analog read request: where the raw codes go, which channels, how many.
struct AioRequest {
  std::array<std::uint16_t, 2>* AiData = nullptr;
  const std::array<std::int16_t, 32>* ChannelList = nullptr;
  std::int16_t ChannelCount = 0;
  bool Built() const { return AiData != nullptr && ChannelList != nullptr; }
};

// The digital read request: which ports, how many, where the bytes go.
struct DioRequest {
  const std::array<std::int16_t, 3>* PortList = nullptr;
  std::int16_t PortCount = 0;
  std::array<std::uint8_t, 3>* DioData = nullptr;
  bool Built() const { return PortList != nullptr && DioData != nullptr; }
};

struct DeviceState {
  std::int32_t AioId = 0;
  std::int32_t DioId = 0;
  std::int32_t RetCode = 0;
  std::array<std::uint16_t, 2> AiData{};
  std::array<std::int16_t, 32> ChannelList{};
  std::array<std::uint8_t, 3> DioData{};
  std::array<std::int16_t, 3> PortList{};
  AioRequest AioReq;
  DioRequest DioReq;
  std::int16_t AioDrvNo = 0;
  std::int16_t DioDrvNo = 0;
  std::int16_t GrpNo = 0;
  // A measurement run owns the devices: its acquisition thread alone reads them, and the
  // screens neither read, open nor close them until it has ended. Set on the UI thread.
  bool measuring = false;

  DeviceState() = default;
  // The requests point into this object, so it is never copied or moved.
  DeviceState(const DeviceState&) = delete;
  DeviceState& operator=(const DeviceState&) = delete;
};

}  // namespace velquor
