// Replay of a saved per-sample file, or of a trial's, as the devices' raw values, one sample
// per read, so a recorded session can be measured again as if the rig were there.
#pragma once

#include <array>
#include <cstdint>
#include <istream>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/result.h"
#include "daq/software_devices.h"

namespace velquor {

// One recorded sample as the devices gave it.
struct ReplaySample {
  std::array<std::uint16_t, 2> codes{};  // raw analog codes of channels 0 and 1
  EncoderPortBytes ports{};              // port bytes 0..2
};

// The sample of encoder counts (0..4095) and voltages (beyond -10..10 V the card's end codes).
ReplaySample ReplaySampleOf(EncoderCounts encoder, std::array<double, 2> volts);

// The samples of a per-sample file's text, read as Data View reads it (at least one row). A
// problem names `file`, the line and the field that cannot be used.
Result<std::vector<ReplaySample>> ParseReplaySamples(std::string_view text,
                                                     const std::string& file);

// The samples of a trial's per-sample file (UTF-8, "..._trial.csv"), the volts as the card's
// codes that give them back exactly.
Result<std::vector<ReplaySample>> ReadTrialReplaySamples(std::istream& in, const std::string& file);

class ReplayBackend : public SoftwareDevices {
 public:
  // Reads a Shift_JIS per-sample file, or a trial's per-sample file (native path).
  static Result<std::unique_ptr<ReplayBackend>> Load(const std::string& native_path);

  // A per-sample file of one cycle starts over at its end.
  ReplayBackend(std::string file, std::vector<ReplaySample> samples);
  // A trial plays once, for as long as it is, at its own interval: after its last sample that
  // sample is held until the run stops.
  ReplayBackend(std::string file, std::vector<ReplaySample> samples, double trial_interval_ms);

  std::optional<double> RecordedIntervalMs() const override { return trial_interval_ms_; }
  std::int64_t RecordedSamples() const override;

  std::size_t SampleCount() const { return samples_.size(); }

  std::string Describe() const override;
  // Once, when the file has been played to its end and starts over.
  std::string TakeNotice() override;

 private:
  std::int32_t NextCodes(std::array<std::uint16_t, 2>& codes) override;
  std::int32_t NextPorts(EncoderPortBytes& ports) override;
  // The next sample of one device's stream (each device keeps its own place in the file), or
  // nothing when the file holds none.
  const ReplaySample* Next(std::size_t& place);

  std::string file_;
  std::vector<ReplaySample> samples_;
  std::optional<double> trial_interval_ms_;
  std::size_t analog_place_ = 0;
  std::size_t digital_place_ = 0;
  bool restart_told_ = false;
  std::string notice_;
};

}  // namespace velquor
