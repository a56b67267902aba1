#include "daq/sim_rig.h"

#include <cmath>

namespace velquor {
namespace {

constexpr std::int32_t kAioId = 1;
constexpr std::int32_t kDioId = 2;
constexpr double kCountsPerTurn = 2000.0;
constexpr double kTwoPi = 6.283185307179586;

}  // namespace

SimRig::SimRig(std::uint64_t seed, double seconds_per_read)
    : seed_(seed), analog_(seed, seconds_per_read), digital_(seed, seconds_per_read) {}

std::string SimRig::Describe() const {
  return "simulated rig (seed " + std::to_string(seed_) + ")";
}

std::int32_t SimRig::Fail(std::int32_t code, std::string why) {
  last_error_ = std::move(why);
  return code;
}

std::uint16_t SimRig::EncoderCount(double angle_rad, bool counts_backwards) {
  auto counts = static_cast<std::int64_t>(std::llround(angle_rad / kTwoPi * kCountsPerTurn));
  if (counts_backwards) counts = -counts;
  return static_cast<std::uint16_t>(((counts % 4096) + 4096) % 4096);
}

void SimRig::SetReadInterval(double interval_ms) {
  if (!(interval_ms > 0)) return;
  analog_.SetDt(interval_ms / 1000.0);
  digital_.SetDt(interval_ms / 1000.0);
}

std::int32_t SimRig::AioOpen(std::int32_t& id, std::int16_t, std::int16_t) {
  id = kAioId;
  aio_open_ = true;
  last_error_.clear();
  return daq_code::kOk;
}

std::int32_t SimRig::AioInp(std::int32_t id, AioRequest& req) {
  if (!aio_open_ || id != kAioId)
    return Fail(daq_code::kNotOpen, "simulated A/D device is not open");
  if (!req.Built()) return Fail(daq_code::kRequestNotBuilt, "A/D read request was never built");
  RigSample s = analog_.At(++analog_reads_);
  for (int ch = 0; ch < 2; ++ch) {
    double volts =
        s.torque[ch] / kNmPerVolt + 0.002 * RigModel::Noise(seed_, analog_reads_, 10 + ch);
    (*req.AiData).at(static_cast<std::size_t>(ch)) = VIToBinary(-10.0f, 10.0f, 12, volts);
  }
  return daq_code::kOk;
}

std::int32_t SimRig::AioClose(std::int32_t id) {
  if (!aio_open_ || id != kAioId)
    return Fail(daq_code::kNotOpen, "simulated A/D device is not open");
  aio_open_ = false;
  return daq_code::kOk;
}

std::int32_t SimRig::DioOpen(std::int32_t& id, std::int16_t, std::int16_t) {
  id = kDioId;
  dio_open_ = true;
  last_error_.clear();
  return daq_code::kOk;
}

std::int32_t SimRig::Dio8255Mode(std::int32_t id, std::int16_t, std::int16_t control) {
  if (!dio_open_ || id != kDioId)
    return Fail(daq_code::kNotOpen, "simulated DIO device is not open");
  if (control != 0x9B) {
    return Fail(daq_code::kUnsupportedMode, "8255 control word " + std::to_string(control) +
                                                " is not supported (only 0x9B, all inputs)");
  }
  return daq_code::kOk;
}

std::int32_t SimRig::DioInp(std::int32_t id, DioRequest& req) {
  if (!dio_open_ || id != kDioId)
    return Fail(daq_code::kNotOpen, "simulated DIO device is not open");
  if (!req.Built()) return Fail(daq_code::kRequestNotBuilt, "DIO read request was never built");
  RigSample s = digital_.At(++digital_reads_);
  const std::uint16_t left = EncoderCount(s.angle[0], true);  // mounted mirrored: counts backwards
  const std::uint16_t right = EncoderCount(s.angle[1], false);
  const std::uint8_t ports[3] = {static_cast<std::uint8_t>(left & 0xFF),
                                 static_cast<std::uint8_t>(right & 0xFF),
                                 static_cast<std::uint8_t>((left >> 8) | ((right >> 8) << 4))};
  for (std::size_t k = 0; k < 3; ++k) {
    const int port = (*req.PortList).at(k);
    (*req.DioData).at(k) = (port >= 0 && port < 3) ? ports[port] : 0xFF;
  }
  return daq_code::kOk;
}

std::int32_t SimRig::DioClose(std::int32_t id) {
  if (!dio_open_ || id != kDioId)
    return Fail(daq_code::kNotOpen, "simulated DIO device is not open");
  dio_open_ = false;
  return daq_code::kOk;
}

}  // namespace velquor
