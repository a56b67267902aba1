#include "replay/replay_backend.h"

#include <utility>

#include "common/text_file.h"
#include "files/data_file_reader.h"

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

Result<std::unique_ptr<ReplayBackend>> ReplayBackend::Load(const std::string& native_path) {
  auto text = ReadShiftJisFile(native_path);
  if (!text) return text.problem();
  auto samples = ParseReplaySamples(text.value(), native_path);
  if (!samples) return samples.problem();
  return std::make_unique<ReplayBackend>(native_path, std::move(samples.value()));
}

ReplayBackend::ReplayBackend(std::string file, std::vector<ReplaySample> samples)
    : SoftwareDevices("replayed"), file_(std::move(file)), samples_(std::move(samples)) {}

std::string ReplayBackend::Describe() const {
  return "replay of " + file_ + " (" + std::to_string(samples_.size()) + " samples)";
}

std::string ReplayBackend::TakeNotice() {
  return std::exchange(notice_, {});
}

const ReplaySample* ReplayBackend::Next(std::size_t& place) {
  if (samples_.empty()) return nullptr;
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
