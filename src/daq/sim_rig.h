// The simulated rig, the default acquisition backend: both devices read from RigModel,
// the left encoder counting backwards, 12-bit counts and voltages, about 20 Nm per volt.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "daq/driver.h"
#include "daq/rig_model.h"

namespace velquor {

class SimRig : public AcqDriver {
 public:
  static constexpr double kNmPerVolt = 20.0;

  explicit SimRig(std::uint64_t seed = 1, double seconds_per_read = 0.02);

  std::string Describe() const override;
  std::int32_t AioOpen(std::int32_t& id, std::int16_t driver_no, std::int16_t group_no) override;
  std::int32_t AioInp(std::int32_t id, AioRequest& req) override;
  std::int32_t AioClose(std::int32_t id) override;
  std::int32_t DioOpen(std::int32_t& id, std::int16_t driver_no, std::int16_t group_no) override;
  std::int32_t Dio8255Mode(std::int32_t id, std::int16_t chip, std::int16_t control) override;
  std::int32_t DioInp(std::int32_t id, DioRequest& req) override;
  std::int32_t DioClose(std::int32_t id) override;
  std::string LastError() const override { return last_error_; }
  void SetReadInterval(double interval_ms) override;

  // The pushes in the torque of the first `reads` A/D reads, positions counted in reads.
  std::vector<RigPush> GeneratedPushes(std::int64_t reads) const {
    return analog_.PushesUpTo(reads);
  }

  // Raw values of sample n, as the devices would give them.
  static std::uint16_t EncoderCount(double angle_rad, bool counts_backwards);

 private:
  std::int32_t Fail(std::int32_t code, std::string why);

  std::uint64_t seed_;
  RigModel analog_;
  RigModel digital_;
  std::int64_t analog_reads_ = 0;
  std::int64_t digital_reads_ = 0;
  bool aio_open_ = false;
  bool dio_open_ = false;
  std::string last_error_;
};

}  // namespace velquor
