// The acquisition driver operations every backend provides: open, read, mode and close for
// the analog and the digital device, each returning a 32-bit code, 0 for success.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "daq/device_state.h"

namespace velquor {

// Codes shared by the program's own backends (a real card's library may add its own).
namespace daq_code {
inline constexpr std::int32_t kOk = 0;
inline constexpr std::int32_t kNotOpen = 7;           // no device behind this identifier
inline constexpr std::int32_t kRequestNotBuilt = 8;   // the read request was never built
inline constexpr std::int32_t kUnsupportedMode = 11;  // 8255 control word other than 0x9B
inline constexpr std::int32_t kNoSuchDevice = 10001;  // driver/group number names no device
inline constexpr std::int32_t kOpenFailed = 10002;    // the device exists but cannot be opened
inline constexpr std::int32_t kConfigFailed = 10003;  // range, resolution or port setup refused
inline constexpr std::int32_t kReadFailed = 10004;    // the read itself failed
inline constexpr std::int32_t kCloseFailed = 10005;
inline constexpr std::int32_t kEndOfData = 10006;         // replay reached its end (and restarted)
inline constexpr std::int32_t kRangeUnavailable = 10007;  // no -10..10 V input range
inline constexpr std::int32_t kResolutionMismatch = 10008;  // codes are not 12-bit
inline constexpr std::int32_t kNoSuchPort = 10009;  // a port number names no port of the device
inline constexpr std::int32_t kDeviceGone = 10010;  // unplugged, or its driver was detached
}  // namespace daq_code

// What the analog inputs are measured against: the card's ground, each input against its own
// partner (differential), the inputs' common return line, or what else the card defines.
// Card Setting names them "GND", "DIFF", "COMMON" and "OTHER".
enum class AnalogReference { kGround, kDifferential, kCommon, kOther };
inline constexpr std::array<AnalogReference, 4> kAnalogReferences{
    AnalogReference::kGround, AnalogReference::kCommon, AnalogReference::kDifferential,
    AnalogReference::kOther};

inline const char* ReferenceName(AnalogReference r) {
  switch (r) {
    case AnalogReference::kGround:
      return "GND";
    case AnalogReference::kDifferential:
      return "DIFF";
    case AnalogReference::kCommon:
      return "COMMON";
    case AnalogReference::kOther:
      return "OTHER";
  }
  return "GND";
}

class AcqDriver {
 public:
  virtual ~AcqDriver() = default;

  // Short name shown in the window title, e.g. "simulated rig (seed 1)".
  virtual std::string Describe() const = 0;

  // The reference the next AioOpen sets up (ground until set); backends without a choice
  // ignore it.
  virtual void SetAnalogReference(AnalogReference) {}
  virtual std::int32_t AioOpen(std::int32_t& id, std::int16_t driver_no, std::int16_t group_no) = 0;
  // Fills (*req.AiData)[0..1] with the raw 12-bit codes of channels 0 and 1.
  virtual std::int32_t AioInp(std::int32_t id, AioRequest& req) = 0;
  virtual std::int32_t AioClose(std::int32_t id) = 0;

  virtual std::int32_t DioOpen(std::int32_t& id, std::int16_t driver_no, std::int16_t group_no) = 0;
  virtual std::int32_t Dio8255Mode(std::int32_t id, std::int16_t chip, std::int16_t control) = 0;
  // Fills (*req.DioData)[0..2] with the bytes of ports (*req.PortList)[0..2].
  virtual std::int32_t DioInp(std::int32_t id, DioRequest& req) = 0;
  virtual std::int32_t DioClose(std::int32_t id) = 0;

  // A readable reason for the last non-zero code (operation, device, cause), or empty.
  virtual std::string LastError() const { return {}; }

  // The time between two reads of the run that is starting, in ms. Real devices have their
  // own time; a simulated one advances its world by this much per read.
  virtual void SetReadInterval(double /*interval_ms*/) {}

  // A card with its own clock paces the reads of a run itself: true when it has started
  // taking both channels every interval_ms, one scan per tick of the run; AioInp then waits
  // for the next scan and gives it. False: the program's clock paces the reads.
  virtual bool StartPacedReads(double /*interval_ms*/) { return false; }
  // The run passed over `scans` ticks: their scans are dropped, so the next read is the
  // scan of the next tick.
  virtual void SkipPacedScans(std::int64_t /*scans*/) {}
  // Ends the paced reads of a run (on the thread that started them).
  virtual void StopPacedReads() {}

  // A one-time note for the operator that is not a failure (a replay starting over), handed
  // out once and then cleared; empty when there is none.
  virtual std::string TakeNotice() { return {}; }

  // A recorded trial played back: the interval it was taken at (ms), and its samples; none
  // and 0 for a device that is not a recording of a trial.
  virtual std::optional<double> RecordedIntervalMs() const { return std::nullopt; }
  virtual std::int64_t RecordedSamples() const { return 0; }
};

// The program's own conversion of a raw code to volts: min + code * (max - min) / 2^bits,
// the exact inverse of how the rig quantises its voltages. mode is accepted and unused.
float BinaryToVI(float min_v, float max_v, int mode, int bits, std::uint16_t code);
// The nearest raw code for a voltage (used by the simulated rig and replay).
std::uint16_t VIToBinary(float min_v, float max_v, int bits, double volts);

}  // namespace velquor
