#include "daq/sim_rig.h"

#include <cmath>

namespace velquor {
namespace {

constexpr double kCountsPerTurn = 2000.0;
constexpr double kTwoPi = 6.283185307179586;

}  // namespace

SimRig::SimRig(std::uint64_t seed, double seconds_per_read)
    : SoftwareDevices("simulated"),
      seed_(seed),
      analog_(seed, seconds_per_read),
      digital_(seed, seconds_per_read) {}

std::string SimRig::Describe() const {
  return "simulated rig (seed " + std::to_string(seed_) + ")";
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

std::int32_t SimRig::NextCodes(std::array<std::uint16_t, 2>& codes) {
  const RigSample s = analog_.At(++analog_reads_);
  for (int ch = 0; ch < 2; ++ch) {
    const double volts =
        s.torque[ch] / kNmPerVolt + 0.002 * RigModel::Noise(seed_, analog_reads_, 10 + ch);
    codes.at(static_cast<std::size_t>(ch)) = VIToBinary(-10.0f, 10.0f, 12, volts);
  }
  return daq_code::kOk;
}

std::int32_t SimRig::NextPorts(EncoderPortBytes& ports) {
  const RigSample s = digital_.At(++digital_reads_);
  // The left encoder is mounted mirrored: it counts backwards.
  ports = PackEncoderPorts({EncoderCount(s.angle[0], true), EncoderCount(s.angle[1], false)});
  return daq_code::kOk;
}

}  // namespace velquor
