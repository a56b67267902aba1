#include "replay/replay_backend.h"

#include <fstream>
#include <utility>

#include "common/number_text.h"
#include "common/text_file.h"
#include "files/data_file_reader.h"
#include "files/trial_file_reader.h"

namespace velquor {

ReplaySample ReplaySampleOf(EncoderCounts encoder, std::array<double, 2> volts) {
  ReplaySample s;
  for (std::size_t ch = 0; ch < 2; ++ch) {
    s.codes.at(ch) = VIToBinary(-10.0f, 10.0f, 12, volts.at(ch));
  }
  s.ports = PackEncoderPorts(encoder);
  return s;
}

Result<std::vector<ReplaySample>> ParseReplaySamples(std::string_view text,
                                                     const std::string& file) {
  auto data = std::make_unique<LoadedData>();
  std::string first_time;
  auto rows = ReadSampleRows(text, file, *data, first_time);
  if (!rows) return rows.problem();
  if (rows.value() == 0) {
    return Problem{file, 0, 0,
                   "holds no samples to replay (a per-sample file has two header lines, then one "
                   "row per sample)"};
  }
  const MeasurementRecord& rec = data->record;
  std::vector<ReplaySample> samples;
  samples.reserve(static_cast<std::size_t>(rows.value()));
  for (int i = 1; i <= rows.value(); ++i) {
    // The reader has checked the counts to be whole numbers from 0 to 4095.
    samples.push_back(ReplaySampleOf({static_cast<std::uint16_t>(rec.Encoder(0, i)),
                                      static_cast<std::uint16_t>(rec.Encoder(1, i))},
                                     {rec.Volt(0, i), rec.Volt(1, i)}));
  }
  return samples;
}

namespace {

std::vector<ReplaySample> SamplesOf(const TrialSeries& s) {
  std::vector<ReplaySample> samples;
  samples.reserve(static_cast<std::size_t>(s.Samples()));
  for (std::int64_t i = 1; i <= s.Samples(); ++i) {
    samples.push_back(
        ReplaySampleOf({s.Encoder(0, i), s.Encoder(1, i)},
                       {static_cast<double>(s.Volt(0, i)), static_cast<double>(s.Volt(1, i))}));
  }
  return samples;
}

}  // namespace

Result<std::vector<ReplaySample>> ReadTrialReplaySamples(std::istream& in,
                                                         const std::string& file) {
  // Only the volts and counts are played: the calibration the series are computed with does
  // not matter here.
  auto trial = ReadTrialCsv(in, file, Calibration{}, false);
  if (!trial) return trial.problem();
  return SamplesOf(*trial.value().series);
}

Result<std::unique_ptr<ReplayBackend>> ReplayBackend::Load(const std::string& native_path) {
  if (IsTrialCsvPath(native_path)) {
    // The interval is that of the trial's first sample's time, read once more here.
    auto trial = LoadTrialCsv(native_path, Calibration{}, false);
    if (!trial) return trial.problem();
    const TrialSeries& s = *trial.value().series;
    return std::make_unique<ReplayBackend>(native_path, SamplesOf(s), s.IntervalMs());
  }
  auto text = ReadShiftJisFile(native_path);
  if (!text) return text.problem();
  auto samples = ParseReplaySamples(text.value(), native_path);
  if (!samples) return samples.problem();
  return std::make_unique<ReplayBackend>(native_path, std::move(samples.value()));
}

ReplayBackend::ReplayBackend(std::string file, std::vector<ReplaySample> samples)
    : SoftwareDevices("replayed"), file_(std::move(file)), samples_(std::move(samples)) {}

ReplayBackend::ReplayBackend(std::string file, std::vector<ReplaySample> samples,
                             double trial_interval_ms)
    : ReplayBackend(std::move(file), std::move(samples)) {
  trial_interval_ms_ = trial_interval_ms;
}

std::int64_t ReplayBackend::RecordedSamples() const {
  return trial_interval_ms_ ? static_cast<std::int64_t>(samples_.size()) : 0;
}

std::string ReplayBackend::Describe() const {
  if (trial_interval_ms_) {
    return "replay of the trial " + file_ + " (" + std::to_string(samples_.size()) +
           " samples at " + PlainForm(*trial_interval_ms_) + " ms)";
  }
  return "replay of " + file_ + " (" + std::to_string(samples_.size()) + " samples)";
}

std::string ReplayBackend::TakeNotice() {
  return std::exchange(notice_, {});
}

const ReplaySample* ReplayBackend::Next(std::size_t& place) {
  if (samples_.empty()) return nullptr;
  if (place >= samples_.size() && trial_interval_ms_) {
    if (!restart_told_) {
      restart_told_ = true;
      notice_ = "the replay of the trial " + file_ + " reached its end after " +
                std::to_string(samples_.size()) +
                " samples; its last sample is held until the run stops";
    }
    return &samples_.back();
  }
  if (place >= samples_.size()) {
    place = 0;
    if (!restart_told_) {
      restart_told_ = true;
      notice_ = "the replay of " + file_ + " reached its end after " +
                std::to_string(samples_.size()) + " samples and starts again from the first";
    }
  }
  return &samples_.at(place++);
}

std::int32_t ReplayBackend::NextCodes(std::array<std::uint16_t, 2>& codes) {
  const ReplaySample* s = Next(analog_place_);
  if (s == nullptr) return Fail(daq_code::kEndOfData, "AioInp: " + file_ + " holds no samples");
  codes = s->codes;
  return daq_code::kOk;
}

std::int32_t ReplayBackend::NextPorts(EncoderPortBytes& ports) {
  const ReplaySample* s = Next(digital_place_);
  if (s == nullptr) return Fail(daq_code::kEndOfData, "DioInp: " + file_ + " holds no samples");
  ports = s->ports;
  return daq_code::kOk;
}

}  // namespace velquor
