#include "daq/replay_backend.h"

#include <cmath>
#include <utility>

#include "common/field_reader.h"
#include "common/number_parse.h"
#include "common/text_file.h"

namespace velquor {
namespace {

constexpr int kHeaderLines = 2;
constexpr int kFieldsPerRow = 22;
constexpr int kFirstEncoderField = 3;  // Encoder(0), Encoder(1)
constexpr int kFirstVoltField = 5;     // Volt(0), Volt(1)
constexpr float kMinVolts = -10.0f;
constexpr float kMaxVolts = 10.0f;

// The sample of one row (fields numbered from 1), or the problem with its first bad field.
Result<ReplaySample> SampleOfRow(const std::vector<Field>& row, const std::string& file) {
  const int line = row.front().line;
  if (static_cast<int>(row.size()) != kFieldsPerRow) {
    return Problem{file, line, 0,
                   "a per-sample row has " + std::to_string(kFieldsPerRow) +
                       " fields; this one has " + std::to_string(row.size())};
  }
  std::array<int, 2> encoder{};
  std::array<double, 2> volts{};
  for (int ch = 0; ch < 2; ++ch) {
    const Field& f = row.at(static_cast<std::size_t>(kFirstEncoderField - 1 + ch));
    const auto count = ParseComplete(f.text);
    if (!count || *count != std::floor(*count) || *count < 0 || *count > 4095) {
      return Problem{file, line, f.index,
                     "Encoder(" + std::to_string(ch) + ") \"" + f.text +
                         "\" is not a whole count from 0 to 4095"};
    }
    encoder.at(static_cast<std::size_t>(ch)) = static_cast<int>(*count);
  }
  for (int ch = 0; ch < 2; ++ch) {
    const Field& f = row.at(static_cast<std::size_t>(kFirstVoltField - 1 + ch));
    const auto v = ParseComplete(f.text);
    if (!v || !(*v >= kMinVolts && *v <= kMaxVolts)) {
      return Problem{
          file, line, f.index,
          "Volt(" + std::to_string(ch) + ") \"" + f.text + "\" is not a voltage from -10 to 10 V"};
    }
    volts.at(static_cast<std::size_t>(ch)) = *v;
  }
  return ReplaySampleOf(encoder, volts);
}

}  // namespace

ReplaySample ReplaySampleOf(std::array<int, 2> encoder, std::array<double, 2> volts) {
  ReplaySample s;
  for (std::size_t ch = 0; ch < 2; ++ch) {
    s.codes.at(ch) = VIToBinary(kMinVolts, kMaxVolts, 12, volts.at(ch));
  }
  const auto left = static_cast<unsigned>(encoder[0]) & 0xFFFu;
  const auto right = static_cast<unsigned>(encoder[1]) & 0xFFFu;
  s.ports = {static_cast<std::uint8_t>(left & 0xFFu), static_cast<std::uint8_t>(right & 0xFFu),
             static_cast<std::uint8_t>((left >> 8) | ((right >> 8) << 4))};
  return s;
}

Result<std::vector<ReplaySample>> ParseReplaySamples(std::string_view text,
                                                     const std::string& file) {
  std::vector<ReplaySample> samples;
  FieldReader reader(text);
  std::vector<Field> row;
  // A row is complete when the next one starts or the text ends.
  auto take_row = [&]() -> Status {
    const bool blank = row.size() == 1 && row.front().text.empty();
    if (!row.empty() && !blank && row.front().line > kHeaderLines) {
      auto sample = SampleOfRow(row, file);
      if (!sample) return sample.problem();
      samples.push_back(sample.value());
    }
    row.clear();
    return Status::Ok();
  };
  while (auto field = reader.Next()) {
    if (field->index == 1) {
      if (Status s = take_row(); !s) return s.problem();
    }
    row.push_back(std::move(*field));
  }
  if (Status s = take_row(); !s) return s.problem();
  if (samples.empty()) {
    return Problem{file, 0, 0,
                   "holds no samples to replay (a per-sample file has two header lines, then one "
                   "row per sample)"};
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
    : file_(std::move(file)), samples_(std::move(samples)) {}

std::string ReplayBackend::Describe() const {
  return "replay of " + file_ + " (" + std::to_string(samples_.size()) + " samples)";
}

std::int32_t ReplayBackend::Fail(std::int32_t code, std::string why) {
  last_error_ = std::move(why);
  return code;
}

std::string ReplayBackend::TakeNotice() {
  return std::exchange(notice_, {});
}

const ReplaySample& ReplayBackend::Next(std::size_t& place) {
  if (place >= samples_.size()) {
    place = 0;
    if (!restart_told_) {
      restart_told_ = true;
      notice_ = "the replay of " + file_ + " reached its end after " +
                std::to_string(samples_.size()) + " samples and starts again from the first";
    }
  }
  return samples_.at(place++);
}

std::int32_t ReplayBackend::AioOpen(std::int32_t& id, std::int16_t, std::int16_t) {
  id = kAioId;
  aio_open_ = true;
  return daq_code::kOk;
}

std::int32_t ReplayBackend::AioInp(std::int32_t id, AioRequest& req) {
  if (!aio_open_ || id != kAioId)
    return Fail(daq_code::kNotOpen, "AioInp: the replayed A/D device is not open");
  if (!req.Built())
    return Fail(daq_code::kRequestNotBuilt, "AioInp: the read request was never built");
  if (samples_.empty()) return Fail(daq_code::kEndOfData, "AioInp: " + file_ + " holds no samples");
  const int count = req.ChannelCount < 2 ? req.ChannelCount : 2;
  for (int k = 0; k < count; ++k) {
    const int chan = (*req.ChannelList).at(static_cast<std::size_t>(k));
    if (chan < 0 || chan > 1) {
      return Fail(daq_code::kConfigFailed,
                  "AioInp: channel " + std::to_string(chan) + " was not recorded (0 and 1 are)");
    }
  }
  const ReplaySample& s = Next(analog_place_);
  for (int k = 0; k < count; ++k) {
    const int chan = (*req.ChannelList).at(static_cast<std::size_t>(k));
    (*req.AiData).at(static_cast<std::size_t>(k)) = s.codes.at(static_cast<std::size_t>(chan));
  }
  return daq_code::kOk;
}

std::int32_t ReplayBackend::AioClose(std::int32_t id) {
  if (!aio_open_ || id != kAioId)
    return Fail(daq_code::kNotOpen, "AioClose: the replayed A/D device is not open");
  aio_open_ = false;
  return daq_code::kOk;
}

std::int32_t ReplayBackend::DioOpen(std::int32_t& id, std::int16_t, std::int16_t) {
  id = kDioId;
  dio_open_ = true;
  return daq_code::kOk;
}

std::int32_t ReplayBackend::Dio8255Mode(std::int32_t id, std::int16_t chip, std::int16_t control) {
  if (!dio_open_ || id != kDioId)
    return Fail(daq_code::kNotOpen, "Dio8255Mode: the replayed DIO device is not open");
  if (control != 0x9B || chip != 0) {
    return Fail(
        daq_code::kUnsupportedMode,
        "Dio8255Mode: only control word 9Bh on chip 0 (all ports inputs) is supported, not " +
            std::to_string(control) + " on chip " + std::to_string(chip));
  }
  return daq_code::kOk;
}

std::int32_t ReplayBackend::DioInp(std::int32_t id, DioRequest& req) {
  if (!dio_open_ || id != kDioId)
    return Fail(daq_code::kNotOpen, "DioInp: the replayed DIO device is not open");
  if (!req.Built())
    return Fail(daq_code::kRequestNotBuilt, "DioInp: the read request was never built");
  if (samples_.empty()) return Fail(daq_code::kEndOfData, "DioInp: " + file_ + " holds no samples");
  const int count = req.PortCount < 3 ? req.PortCount : 3;
  for (int k = 0; k < count; ++k) {
    const int port = (*req.PortList).at(static_cast<std::size_t>(k));
    if (port < 0 || port > 2) {
      return Fail(daq_code::kNoSuchPort,
                  "DioInp: port " + std::to_string(port) + " was not recorded (ports 0..2 are)");
    }
  }
  const ReplaySample& s = Next(digital_place_);
  for (int k = 0; k < count; ++k) {
    const int port = (*req.PortList).at(static_cast<std::size_t>(k));
    (*req.DioData).at(static_cast<std::size_t>(k)) = s.ports.at(static_cast<std::size_t>(port));
  }
  return daq_code::kOk;
}

std::int32_t ReplayBackend::DioClose(std::int32_t id) {
  if (!dio_open_ || id != kDioId)
    return Fail(daq_code::kNotOpen, "DioClose: the replayed DIO device is not open");
  dio_open_ = false;
  return daq_code::kOk;
}

}  // namespace velquor
