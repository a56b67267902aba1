// Replay of a saved per-sample file as the devices' raw values, one sample per read, so a
// recorded session can be measured again as if the rig were there.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "common/result.h"
#include "daq/driver.h"

namespace velquor {

// One recorded sample as the devices gave it.
struct ReplaySample {
  std::array<std::uint16_t, 2> codes{};  // raw analog codes of channels 0 and 1
  std::array<std::uint8_t, 3> ports{};   // port bytes 0..2
};

// The sample of encoder counts (0..4095) and voltages: port 0 and 1 take the low bytes of
// encoders 0 and 1, port 2 their high nibbles (encoder 0 in bits 0..3, encoder 1 in 4..7).
ReplaySample ReplaySampleOf(std::array<int, 2> encoder, std::array<double, 2> volts);

// The samples of a per-sample file's text: two header lines, then one row of 22 fields per
// sample, fields 3 and 4 the encoder counts, 5 and 6 the voltages. A problem names `file`,
// the line and the field that cannot be used.
Result<std::vector<ReplaySample>> ParseReplaySamples(std::string_view text,
                                                     const std::string& file);

class ReplayBackend : public AcqDriver {
 public:
  static constexpr std::int32_t kAioId = 1;
  static constexpr std::int32_t kDioId = 2;

  // Reads a Shift_JIS per-sample file (native path).
  static Result<std::unique_ptr<ReplayBackend>> Load(const std::string& native_path);

  ReplayBackend(std::string file, std::vector<ReplaySample> samples);

  std::size_t SampleCount() const { return samples_.size(); }

  std::string Describe() const override;
  std::int32_t AioOpen(std::int32_t& id, std::int16_t driver_no, std::int16_t group_no) override;
  std::int32_t AioInp(std::int32_t id, AioRequest& req) override;
  std::int32_t AioClose(std::int32_t id) override;
  std::int32_t DioOpen(std::int32_t& id, std::int16_t driver_no, std::int16_t group_no) override;
  std::int32_t Dio8255Mode(std::int32_t id, std::int16_t chip, std::int16_t control) override;
  std::int32_t DioInp(std::int32_t id, DioRequest& req) override;
  std::int32_t DioClose(std::int32_t id) override;
  std::string LastError() const override { return last_error_; }
  // Once, when the file has been played to its end and starts over.
  std::string TakeNotice() override;

 private:
  std::int32_t Fail(std::int32_t code, std::string why);
  // The next sample of one device's stream; each device keeps its own place in the file.
  const ReplaySample& Next(std::size_t& place);

  std::string file_;
  std::vector<ReplaySample> samples_;
  std::size_t analog_place_ = 0;
  std::size_t digital_place_ = 0;
  bool aio_open_ = false;
  bool dio_open_ = false;
  bool restart_told_ = false;
  std::string notice_;
  std::string last_error_;
};

}  // namespace velquor
