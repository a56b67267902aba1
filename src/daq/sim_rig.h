// The simulated rig, the default acquisition backend: both devices read from RigModel,
// the left encoder counting backwards, 12-bit counts and voltages, about 20 Nm per volt.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "daq/rig_model.h"
#include "daq/software_devices.h"

namespace velquor {

class SimRig : public SoftwareDevices {
 public:
  static constexpr double kNmPerVolt = 20.0;

  explicit SimRig(std::uint64_t seed = 1, double seconds_per_read = 0.02);

  std::string Describe() const override;
  void SetReadInterval(double interval_ms) override;

  // The pushes in the torque of the first `reads` A/D reads, positions counted in reads.
  std::vector<RigPush> GeneratedPushes(std::int64_t reads) const {
    return analog_.PushesUpTo(reads);
  }

  // The count an encoder shows at a wheel angle.
  static std::uint16_t EncoderCount(double angle_rad, bool counts_backwards);

 private:
  std::int32_t NextCodes(std::array<std::uint16_t, 2>& codes) override;
  std::int32_t NextPorts(EncoderPortBytes& ports) override;

  std::uint64_t seed_;
  RigModel analog_;
  RigModel digital_;
  std::int64_t analog_reads_ = 0;
  std::int64_t digital_reads_ = 0;
};

}  // namespace velquor
