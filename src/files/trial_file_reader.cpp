#include "files/trial_file_reader.h"

#include <array>
#include <charconv>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <limits>
#include <optional>

#include "common/path_map.h"

namespace velquor {
namespace {

constexpr std::string_view kHeader =
    "sample,t_s,volt0_V,volt1_V,encoder0,encoder1,torque0_Nm,torque1_Nm,angle0_deg,angle1_deg,"
    "speed0_m_per_s,speed1_m_per_s,power0_W,power1_W,marker";
constexpr int kFields = 15;
constexpr int kSampleField = 1, kTimeField = 2, kVoltField = 3, kEncoderField = 5,
              kMarkerField = 15;
constexpr std::int64_t kLargestCount = 4095;  // 12-bit encoders

// The fields of one row split at every ","; more than kFields give nothing.
std::optional<std::array<std::string_view, kFields>> Split(std::string_view line) {
  std::array<std::string_view, kFields> out{};
  std::size_t k = 0;
  while (true) {
    const std::size_t comma = line.find(',');
    if (k == out.size()) return std::nullopt;
    out.at(k++) = line.substr(0, comma);
    if (comma == std::string_view::npos) break;
    line.remove_prefix(comma + 1);
  }
  if (k != out.size()) return std::nullopt;
  return out;
}

int FieldCount(std::string_view line) {
  int n = 1;
  for (const char c : line) n += c == ',' ? 1 : 0;
  return n;
}

// A whole number in plain digits (no sign, no blanks) within lo..hi.
std::optional<std::int64_t> Whole(std::string_view text, std::int64_t lo, std::int64_t hi) {
  std::int64_t v = 0;
  const char* end = text.data() + text.size();
  const auto res = std::from_chars(text.data(), end, v);
  if (text.empty() || res.ec != std::errc() || res.ptr != end || v < lo || v > hi) {
    return std::nullopt;
  }
  return v;
}

// A finite decimal number as the writer gives it (no blanks around it).
std::optional<double> Decimal(std::string_view text) {
  double v = 0;
  const char* end = text.data() + text.size();
  const auto res = std::from_chars(text.data(), end, v);
  if (text.empty() || res.ec != std::errc() || res.ptr != end || !std::isfinite(v)) {
    return std::nullopt;
  }
  return v;
}

// The interval in ms whose seconds are exactly sample 1's time, the plainest such value
// first (0.005 s is 5 ms, not 5.000000000000001).
std::optional<double> IntervalOf(double t1) {
  if (!(t1 > 0)) return std::nullopt;
  const double ms = t1 * 1000;
  const double plain = std::round(ms * 1e9) / 1e9;
  for (const double c : {plain, ms, std::nextafter(ms, 0.0), std::nextafter(ms, 2 * ms)}) {
    if (c > 0 && c / 1000 == t1) return c;
  }
  return std::nullopt;
}

int LineNumber(std::int64_t line) {
  return static_cast<int>(std::min<std::int64_t>(line, std::numeric_limits<int>::max()));
}

class Reader {
 public:
  Reader(const std::string& path, const Calibration& cal, bool shift)
      : path_(path), cal_(cal), shift_(shift) {}

  Status Header(std::string_view line) {
    if (line != kHeader) {
      return Problem{path_, 1, 1,
                     "the first line must be the header \"" + std::string(kHeader) + "\""};
    }
    return Status::Ok();
  }

  Status Row(std::string_view line, std::int64_t line_no) {
    const auto f = Split(line);
    if (!f) {
      return Fault(line_no, 1,
                   "a row has " + std::to_string(kFields) + " fields, this one " +
                       std::to_string(FieldCount(line)));
    }
    const std::int64_t expected = (series_ ? series_->Samples() : 0) + 1;
    const auto sample = Whole(Field(*f, kSampleField), 1, std::numeric_limits<std::int64_t>::max());
    if (!sample || *sample != expected) {
      return Fault(line_no, kSampleField,
                   "sample " + std::to_string(expected) + " was expected here, not \"" +
                       std::string(Field(*f, kSampleField)) + "\"");
    }
    const auto t = Decimal(Field(*f, kTimeField));
    if (!t) return Fault(line_no, kTimeField, "t_s must be a number of seconds");
    if (!series_) {
      const auto interval = IntervalOf(*t);
      if (!interval) {
        return Fault(line_no, kTimeField, "t_s of sample 1 must be the interval, greater than 0");
      }
      series_ = std::make_unique<TrialSeries>(*interval, cal_, shift_);
    }
    if (*t != static_cast<double>(*sample) * series_->Dt()) {
      return Fault(line_no, kTimeField,
                   "t_s must be the sample's number times the interval of " +
                       std::to_string(series_->IntervalMs()) + " ms");
    }
    std::array<float, 2> volt{};
    std::array<std::uint16_t, 2> encoder{};
    for (int w = 0; w < 2; ++w) {
      const auto v = Decimal(Field(*f, kVoltField + w));
      if (!v || std::fabs(*v) > std::numeric_limits<float>::max()) {
        return Fault(line_no, kVoltField + w, "the volts must be a finite number");
      }
      volt.at(static_cast<std::size_t>(w)) = static_cast<float>(*v);
      const auto e = Whole(Field(*f, kEncoderField + w), 0, kLargestCount);
      if (!e) {
        return Fault(line_no, kEncoderField + w,
                     "the encoder count must be a whole number 0..4095");
      }
      encoder.at(static_cast<std::size_t>(w)) = static_cast<std::uint16_t>(*e);
    }
    const std::string_view marker = Field(*f, kMarkerField);
    if (!marker.empty()) {
      const int last = markers_.empty() ? 0 : markers_.back().number;
      const auto m = Whole(marker, last + 1, std::numeric_limits<int>::max());
      if (!m) {
        return Fault(line_no, kMarkerField,
                     "the marker must be empty or a whole number above " + std::to_string(last));
      }
      markers_.push_back({static_cast<int>(*m), *sample});
    }
    series_->Append(volt, encoder);
    return Status::Ok();
  }

  Result<LoadedTrial> Finish(std::vector<Problem> notices) {
    if (!series_) return Problem{path_, 2, 1, "the trial holds no sample"};
    LoadedTrial out;
    out.path = path_;
    out.series = std::move(series_);
    out.markers = std::move(markers_);
    out.notices = std::move(notices);
    return out;
  }

 private:
  static std::string_view Field(const std::array<std::string_view, kFields>& f, int field) {
    return f.at(static_cast<std::size_t>(field - 1));
  }
  Status Fault(std::int64_t line, int field, const std::string& what) const {
    return Problem{path_, LineNumber(line), field, what};
  }

  std::string path_;
  Calibration cal_;
  bool shift_;
  std::unique_ptr<TrialSeries> series_;
  std::vector<TrialCsvMarker> markers_;
};

}  // namespace

constexpr std::string_view kTrialCsvEnd = "_trial.csv";

bool IsTrialCsvPath(std::string_view path) {
  constexpr std::string_view kEnd = kTrialCsvEnd;
  return path.size() >= kEnd.size() && path.substr(path.size() - kEnd.size()) == kEnd;
}

std::string TrialStem(std::string_view path) {
  const std::size_t slash = path.find_last_of("/\\");
  std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
  if (IsTrialCsvPath(name)) name.remove_suffix(kTrialCsvEnd.size());
  return std::string(name);
}

Result<LoadedTrial> ReadTrialCsv(std::istream& in, const std::string& path, const Calibration& cal,
                                 bool shift) {
  Reader reader(path, cal, shift);
  std::vector<Problem> notices;
  std::string line;
  std::int64_t line_no = 0;
  while (std::getline(in, line)) {
    ++line_no;
    // The writer ends every line in LF: a line without one was being written when the
    // program stopped, and its row cannot be trusted whole.
    if (in.eof()) {
      if (line_no == 1) {
        if (Status st = reader.Header(line); !st) return st.problem();
        break;
      }
      notices.push_back({path, LineNumber(line_no), 1,
                         "the last row ends without a line end, as a row being written when "
                         "the program stopped: it is left out"});
      break;
    }
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const Status st = line_no == 1 ? reader.Header(line) : reader.Row(line, line_no);
    if (!st) return st.problem();
  }
  if (line_no == 0) {
    if (Status st = reader.Header(""); !st) return st.problem();
  }
  if (in.bad()) return Problem{path, 0, 0, "could not be read to its end"};
  return reader.Finish(std::move(notices));
}

Result<LoadedTrial> LoadTrialCsv(const std::string& path, const Calibration& cal, bool shift) {
  const std::string native = ToNativePath(path);
  std::error_code ec;
  const auto status = std::filesystem::status(native, ec);
  if (ec || !std::filesystem::exists(status)) return Problem{path, 0, 0, "does not exist"};
  if (!std::filesystem::is_regular_file(status)) {
    return Problem{path, 0, 0, "is not a regular file and is not read"};
  }
  std::ifstream in(native, std::ios::binary);
  if (!in) return Problem{path, 0, 0, "could not be opened for reading"};
  return ReadTrialCsv(in, path, cal, shift);
}

}  // namespace velquor
