#include "files/data_file_reader.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <optional>
#include <utility>

#include "common/field_reader.h"
#include "common/number_parse.h"
#include "common/number_text.h"
#include "common/path_map.h"
#include "common/text_file.h"
#include "files/leading_number.h"
#include "files/text_chars.h"

namespace velquor {
namespace {

constexpr int kRowFields = 22;
constexpr int kSummaryHeaderFields = 44;
constexpr int kTagField = kSummaryHeaderFields + 4;  // the first stroke row's program tag
constexpr int kOlderLayoutSkip = 7;
constexpr double kMaxEncoderCount = 4095;
// The bounds a measurement's condition can have: an interval from a microsecond to an hour,
// and a measuring time from the shortest to the longest such run.
constexpr double kMinIntervalMs = 0.001;
constexpr double kMaxIntervalMs = 3'600'000;
constexpr double kMinMeasTimeS = 2 * kMinIntervalMs / 1000;
constexpr double kMaxMeasTimeS = kMaxSamples * kMaxIntervalMs / 1000;

std::string Quoted(std::string_view t) {
  return "\"" + std::string(t) + "\"";
}

// The field's text with control characters (a NUL, say) shown as "\xNN".
std::string Shown(std::string_view t) {
  std::string out;
  for (char c : t) {
    const auto u = static_cast<unsigned char>(c);
    if (u < 0x20 || u == 0x7f) {
      static constexpr char kHex[] = "0123456789ABCDEF";
      out += "\\x";
      out += kHex[u >> 4];
      out += kHex[u & 15];
    } else {
      out += c;
    }
  }
  return out;
}

// Number fields of one file that hold more than a number ("12abc", "0x1F", a NUL in it): they
// are read by the leading-number rule, and the first of them is named once for the file.
class LooseNumbers {
 public:
  void Look(const Field& f) {
    if (ParseComplete(f.text)) return;
    if (!first_) first_ = f;
    ++count_;
  }
  void Report(const std::string& path, std::vector<Problem>& notices) const {
    if (!first_) return;
    std::string what = "the number field " + Quoted(Shown(first_->text)) + " holds more than a " +
                       "number; it was read as " + PlainForm(Val(first_->text)) +
                       ", the number it begins with";
    if (count_ > 1) {
      what += " (" + std::to_string(count_ - 1) +
              " more such fields in this file were read the same way)";
    }
    notices.push_back({path, first_->line, first_->index, what});
  }

 private:
  std::optional<Field> first_;
  int count_ = 0;
};

// Whether two values agree to the digits the files hold them with.
bool Agree(double a, double b) {
  return std::fabs(a - b) <= 1e-6 * std::max(std::fabs(a), std::fabs(b));
}

// How a column's values are held: encoder counts, single or double precision.
enum class Held { kCount, kSingle, kDouble };

// One numeric column of a sample row and where its value goes.
struct Column {
  const char* name;
  Held held;
  void (*store)(LoadedData&, int, double);
};

template <class G>
void Put(G& grid, int row, int i, double v) {
  grid(row, i) = static_cast<float>(v);
}

const std::array<Column, kRowFields - 2> kColumns = {{
    {"Encoder(0)", Held::kCount,
     [](LoadedData& d, int i, double v) { Put(d.record.Encoder, 0, i, v); }},
    {"Encoder(1)", Held::kCount,
     [](LoadedData& d, int i, double v) { Put(d.record.Encoder, 1, i, v); }},
    {"Volt(0)", Held::kSingle, [](LoadedData& d, int i, double v) { Put(d.record.Volt, 0, i, v); }},
    {"Volt(1)", Held::kSingle, [](LoadedData& d, int i, double v) { Put(d.record.Volt, 1, i, v); }},
    {"Torque(0)", Held::kSingle,
     [](LoadedData& d, int i, double v) { Put(d.series.Torque, 0, i, v); }},
    {"Torque(1)", Held::kSingle,
     [](LoadedData& d, int i, double v) { Put(d.series.Torque, 1, i, v); }},
    {"Angle_deg(0)", Held::kSingle,
     [](LoadedData& d, int i, double v) { Put(d.series.Angle_deg, 0, i, v); }},
    {"Angle_deg(1)", Held::kSingle,
     [](LoadedData& d, int i, double v) { Put(d.series.Angle_deg, 1, i, v); }},
    {"Distance(0)", Held::kSingle,
     [](LoadedData& d, int i, double v) { Put(d.series.Distance, 0, i, v); }},
    {"Distance(1)", Held::kSingle,
     [](LoadedData& d, int i, double v) { Put(d.series.Distance, 1, i, v); }},
    {"Distance_av", Held::kSingle,
     [](LoadedData& d, int i, double v) { Put(d.series.Distance, kDistanceAv, i, v); }},
    {"Speed(0)", Held::kSingle,
     [](LoadedData& d, int i, double v) { Put(d.series.Speed, 0, i, v); }},
    {"Speed(1)", Held::kSingle,
     [](LoadedData& d, int i, double v) { Put(d.series.Speed, 1, i, v); }},
    {"Speed_av", Held::kSingle,
     [](LoadedData& d, int i, double v) { Put(d.series.Speed, kSpeedAv, i, v); }},
    {"Power(0)", Held::kSingle,
     [](LoadedData& d, int i, double v) { Put(d.series.Power, 0, i, v); }},
    {"Power(1)", Held::kSingle,
     [](LoadedData& d, int i, double v) { Put(d.series.Power, 1, i, v); }},
    {"Beta_deg", Held::kSingle,
     [](LoadedData& d, int i, double v) { d.series.Beta_deg(i) = static_cast<float>(v); }},
    {"Alpha_deg", Held::kDouble, [](LoadedData& d, int i, double v) { d.series.Alpha_deg(i) = v; }},
    {"x", Held::kDouble, [](LoadedData& d, int i, double v) { d.series.x(i) = v; }},
    {"y", Held::kSingle,
     [](LoadedData& d, int i, double v) { d.series.y(i) = static_cast<float>(v); }},
}};

// Why a value cannot stand in its column, or nothing.
std::optional<std::string> ColumnFault(const Column& col, double v) {
  switch (col.held) {
    case Held::kCount:
      if (v >= 0 && v <= kMaxEncoderCount && v == std::floor(v)) return std::nullopt;
      return "a whole encoder count from 0 to 4095";
    case Held::kSingle:
      if (std::isfinite(static_cast<float>(v))) return std::nullopt;
      return "a number a single-precision value can hold";
    case Held::kDouble:
      break;
  }
  if (std::isfinite(v)) return std::nullopt;
  return "a finite number";
}

struct Condition {
  double SampInterval = 0;
  double DataNum = 0;
  double MeasTime = 0;
  std::array<Field, 3> where{};  // the fields they came from, for reporting
};

// From the reader's place in a stroke row on: the first stroke row that ends before its 44
// fields, as {line, fields}. Blank lines are passed over.
std::optional<std::pair<int, int>> ShortStrokeRow(FieldReader& r, int line, int fields) {
  for (;;) {
    auto f = r.Next();
    if (!f || f->line != line) {
      if (fields > 0 && fields < kSummaryHeaderFields) return std::pair{line, fields};
      if (!f) return std::nullopt;
      line = f->line;
      fields = 0;
    }
    if (f->index > 1 || !f->text.empty()) fields = f->index;
  }
}

// Condition from the summary file; nothing when the file holds only its header.
Result<std::optional<Condition>> ReadSummary(std::string_view text, const std::string& path,
                                             std::vector<Problem>& notices) {
  FieldReader r(text);
  std::optional<Field> f;
  bool past_header_line = false;  // a non-empty field lies beyond line 1
  int count = 0;
  for (; count < kTagField; ++count) {
    f = r.Next();
    if (!f) break;
    past_header_line |= f->line > 1 && !f->text.empty();
  }
  if (count == 0) return Problem{path, 1, 0, "the file is empty; a summary file has a header line"};
  if (count < kTagField) {
    if (!past_header_line) return std::optional<Condition>{};
    return Problem{path, r.line(), 0,
                   "the file ends early: the first stroke row stops before its program tag "
                   "(field 4)"};
  }
  const std::string tag = f->text;
  const bool known = tag == "Velquor10" || tag == "Velquor05";
  if (!known) {
    notices.push_back({path, f->line, f->index,
                       "the program tag " + Quoted(tag) +
                           " is not known; the condition was read from the positions of the "
                           "older layout"});
    for (int k = 0; k < kOlderLayoutSkip; ++k) {
      if (!r.Next()) {
        return Problem{path, r.line(), 0,
                       "the file ends early, before the measuring condition of the older layout"};
      }
    }
  }
  static constexpr std::array<const char*, 3> kNames = {
      "sampling interval (msec)", "number of samples", "measuring time (sec)"};
  Condition c;
  LooseNumbers loose;
  std::array<double, 3> values{};
  for (std::size_t k = 0; k < 3; ++k) {
    auto v = r.Next();
    if (!v) {
      return Problem{path, r.line(), 0,
                     std::string("the file ends early, before the ") + kNames.at(k)};
    }
    if (!BeginsWithNumber(v->text)) {
      return Problem{path, v->line, v->index,
                     std::string("expected the ") + kNames.at(k) + ", found " + Quoted(v->text)};
    }
    values.at(k) = Val(v->text);
    c.where.at(k) = *v;
    loose.Look(*v);
  }
  c.SampInterval = values[0];
  c.DataNum = static_cast<float>(values[1]);
  c.MeasTime = values[2];
  loose.Report(path, notices);
  // Only this program's layout is known to have 44 fields in a stroke row.
  const Field& last = c.where[2];
  if (auto cut = known ? ShortStrokeRow(r, last.line, last.index) : std::nullopt) {
    notices.push_back({path, cut->first, cut->second,
                       "the stroke row ends after field " + std::to_string(cut->second) +
                           " of its 44: the file was cut short or damaged there"});
  }
  return std::optional<Condition>(c);
}

// Which of the three condition values (0 interval, 1 data number, 2 time) cannot be
// analysed, and why: the record holds 2000 samples, and the analysis divides by the others.
struct ConditionFault {
  std::size_t which;
  std::string what;
};

std::optional<ConditionFault> CheckLoadedCondition(double interval, double data_num,
                                                   double meas_time) {
  if (!std::isfinite(data_num) || data_num != std::floor(data_num) || data_num < 2 ||
      data_num > kMaxSamples) {
    return ConditionFault{1, "the number of samples " + PlainForm(data_num) +
                                 " cannot be read: it must be a whole number from 2 to 2000"};
  }
  if (!(interval >= kMinIntervalMs && interval <= kMaxIntervalMs)) {
    return ConditionFault{0, "the sampling interval " + PlainForm(interval) +
                                 " msec cannot be analysed: it must be from 0.001 msec to one "
                                 "hour (3600000 msec)"};
  }
  if (!(meas_time >= kMinMeasTimeS && meas_time <= kMaxMeasTimeS)) {
    return ConditionFault{2, "the measuring time " + PlainForm(meas_time) +
                                 " sec cannot be analysed: it must be from 0.000002 to 7200000 "
                                 "sec"};
  }
  return std::nullopt;
}

// Reads sample rows 1..limit, or every row to the end when count_rows is set (more than
// `limit` rows are refused before the first one too many is stored); returns the number of
// rows read.
Result<int> ReadRows(FieldReader& r, LoadedData& d, const std::string& path, int limit,
                     bool count_rows, std::vector<Field>& times, LooseNumbers& loose) {
  int i = 0;
  for (;; ++i) {
    if (count_rows && r.AtEnd()) break;
    if (i == limit) {
      if (!count_rows) break;
      return Problem{path, 0, 0,
                     "holds more than " + std::to_string(limit) + " sample rows; at most " +
                         std::to_string(limit) + " can be read"};
    }
    const int sample = i + 1;
    for (int k = 1; k <= kRowFields; ++k) {
      auto f = r.Next();
      if (!f) {
        std::string what = "the file ends early: sample " + std::to_string(sample);
        if (!count_rows) what += " of " + std::to_string(limit);
        what += k > 1 ? " lacks its last " + std::to_string(kRowFields - k + 1) + " fields"
                      : " is missing";
        return Problem{path, r.line(), k, what};
      }
      if (f->index != k) {
        if (k == 1) {
          return Problem{path, f->line, f->index, "a sample row has 22 fields; this line has more"};
        }
        return Problem{path, f->line - 1, 0,
                       "sample row " + std::to_string(sample) + " has only " +
                           std::to_string(k - 1) + " of its 22 fields"};
      }
      if (k == 2) times.push_back(*f);
      if (k <= 2) continue;  // sample number and time are recomputed, only compared
      const Column& col = kColumns.at(static_cast<std::size_t>(k - 3));
      const double v = Val(f->text);
      const std::optional<std::string> fault =
          BeginsWithNumber(f->text) ? ColumnFault(col, v) : std::optional<std::string>("a number");
      if (fault) {
        return Problem{path, f->line, f->index,
                       "expected " + *fault + " for " + col.name + " of sample " +
                           std::to_string(sample) + ", found " + Quoted(Shown(f->text))};
      }
      loose.Look(*f);
      col.store(d, sample, v);
    }
  }
  return i;
}

std::string_view TrimEnd(std::string_view t) {
  while (!t.empty() &&
         (t.back() == '\r' || t.back() == '\n' || t.back() == ' ' || t.back() == '\t')) {
    t.remove_suffix(1);
  }
  return t;
}

Status SkipSampleHeader(FieldReader& r, const std::string& csv_path) {
  for (int k = 0; k < 2 * kRowFields; ++k) {
    if (!r.Next()) {
      return Problem{csv_path, r.line(), 0,
                     "the file ends early, within its header and units lines"};
    }
  }
  return Status::Ok();
}

// Every sample row of a per-sample file, counted, after its header and units lines.
Result<int> ReadAllRows(std::string_view samples, const std::string& csv_path, LoadedData& data,
                        std::vector<Field>& times, LooseNumbers& loose) {
  FieldReader r(TrimEnd(samples));
  if (Status s = SkipSampleHeader(r, csv_path); !s) return s.problem();
  return ReadRows(r, data, csv_path, kMaxSamples, true, times, loose);
}

}  // namespace

Result<int> ReadSampleRows(std::string_view samples, const std::string& csv_path, LoadedData& data,
                           std::string& first_time) {
  std::vector<Field> times;
  LooseNumbers loose;
  auto rows = ReadAllRows(samples, csv_path, data, times, loose);
  if (rows && !times.empty()) first_time = times.front().text;
  return rows;
}

Result<std::string> SampleFilePathFor(std::string_view view_dat_path) {
  if (!EndsWithNoCase(view_dat_path, "dat.csv")) {
    return Problem{std::string(view_dat_path), 0, 0,
                   "is not a summary file: its name does not end in \"dat.csv\""};
  }
  return std::string(view_dat_path.substr(0, view_dat_path.size() - 7)) + "csv.csv";
}

namespace {

// The sample rows after the first `read`, which the summary does not count: how many there
// are and the line of the first.
std::pair<int, int> RowsBeyond(FieldReader& r) {
  int rows = 0, first_line = 0, line = 0;
  while (auto f = r.Next()) {
    if (f->text.empty() || f->line == line) continue;
    line = f->line;
    if (rows++ == 0) first_line = line;
  }
  return {rows, first_line};
}

// The first sample whose time field is not its number times the interval; `basis` says where
// the interval came from.
std::optional<Problem> TimeStepFault(const std::vector<Field>& times, double interval_ms,
                                     const std::string& csv_path, const std::string& basis) {
  for (std::size_t k = 0; k < times.size(); ++k) {
    const double sample = static_cast<double>(k + 1);
    const double t = Val(times[k].text);
    if (Agree(t, interval_ms * sample / 1000.0)) continue;
    return Problem{csv_path, times[k].line, times[k].index,
                   "the time of sample " + PlainForm(sample) + " is " + PlainForm(t) +
                       " sec, a step of " + PlainForm(t / sample * 1000.0) + " msec, but " + basis +
                       " is " + PlainForm(interval_ms) +
                       " msec; the samples were read at that interval"};
  }
  return std::nullopt;
}

std::string Place(const std::string& path, const Field& f) {
  return path + " (line " + std::to_string(f.line) + ", field " + std::to_string(f.index) + ")";
}

// What the pair says against itself beside a condition read from the summary: more rows than
// samples, a time column that steps otherwise, a measuring time that is not count × interval.
void NoteContradictions(const Condition& c, FieldReader& rest, const std::vector<Field>& times,
                        const std::string& dat_path, const std::string& csv_path,
                        std::vector<Problem>& notices) {
  const Field& num = c.where[1];
  if (auto [extra, line] = RowsBeyond(rest); extra > 0) {
    notices.push_back({dat_path, num.line, num.index,
                       "the summary says " + PlainForm(c.DataNum) + " samples, but " + csv_path +
                           " holds " + std::to_string(extra) + " more sample rows from line " +
                           std::to_string(line) + " on; only the first " + PlainForm(c.DataNum) +
                           " were read"});
  }
  if (auto step = TimeStepFault(times, c.SampInterval, csv_path,
                                "the summary's interval at " + Place(dat_path, c.where[0]))) {
    notices.push_back(*step);
  }
  const double product = c.DataNum * c.SampInterval / 1000.0;
  if (!Agree(c.MeasTime, product)) {
    const Field& t = c.where[2];
    notices.push_back({dat_path, t.line, t.index,
                       "the measuring time is " + PlainForm(c.MeasTime) + " sec, but " +
                           PlainForm(c.DataNum) + " samples (field " + std::to_string(num.index) +
                           ") at " + PlainForm(c.SampInterval) + " msec (field " +
                           std::to_string(c.where[0].index) + ") make " + PlainForm(product) +
                           " sec; it was read as written"});
  }
}

}  // namespace

Result<LoadedDataPtr> ReadDataTexts(std::string_view summary, std::string_view samples,
                                    const std::string& dat_path, const std::string& csv_path) {
  auto data = std::make_unique<LoadedData>();
  data->ViewCsvPath = csv_path;
  auto cond = ReadSummary(summary, dat_path, data->notices);
  if (!cond) return cond.problem();
  const bool from_samples = !cond.value().has_value();

  std::vector<Field> times;
  LooseNumbers loose;
  if (!from_samples) {
    FieldReader r(samples);
    if (Status s = SkipSampleHeader(r, csv_path); !s) return s.problem();
    const Condition& c = *cond.value();
    if (auto bad = CheckLoadedCondition(c.SampInterval, c.DataNum, c.MeasTime)) {
      const Field& f = c.where.at(bad->which);
      return Problem{dat_path, f.line, f.index, bad->what};
    }
    auto rows = ReadRows(r, *data, csv_path, static_cast<int>(c.DataNum), false, times, loose);
    if (!rows) return rows.problem();
    data->record.SampInterval = c.SampInterval;
    data->record.DataNum = static_cast<float>(c.DataNum);
    data->record.MeasTime = c.MeasTime;
    NoteContradictions(c, r, times, dat_path, csv_path, data->notices);
    loose.Report(csv_path, data->notices);
    return data;
  }

  // Without a stroke row the summary holds no condition: the per-sample file gives it.
  auto rows = ReadAllRows(samples, csv_path, *data, times, loose);
  if (!rows) return rows.problem();
  const int n = rows.value();
  if (n < 2) {
    return Problem{csv_path, 0, 0,
                   "holds " + std::to_string(n) +
                       " sample rows; a measurement needs at least 2 to be analysed"};
  }
  const std::string& first_time = times.front().text;
  if (!BeginsWithNumber(first_time)) {
    return Problem{csv_path, 3, 2, "expected the time of sample 1, found " + Quoted(first_time)};
  }
  // The time column holds 15 significant digits; the interval is taken to the same digits.
  const double interval = Val(PlainForm(Val(first_time) * 1000.0));
  const double meas_time = interval * n / 1000.0;
  if (auto bad = CheckLoadedCondition(interval, n, meas_time)) {
    return Problem{csv_path, 3, 2, bad->what};
  }
  data->record.SampInterval = interval;
  data->record.DataNum = static_cast<float>(n);
  data->record.MeasTime = meas_time;
  data->notices.push_back(
      {dat_path, 0, 0,
       "holds no stroke row, so the measuring condition was taken from the per-sample file: " +
           std::to_string(n) + " samples at " + PlainForm(interval) + " msec"});
  if (auto step = TimeStepFault(times, interval, csv_path, "the interval of sample 1's time")) {
    data->notices.push_back(*step);
  }
  loose.Report(csv_path, data->notices);
  return data;
}

Result<LoadedDataPtr> LoadDataFiles(const std::string& view_dat_path) {
  if (view_dat_path.empty()) {
    return Problem{"", 0, 0, "no data file is chosen: pick a summary file (*dat.csv) first"};
  }
  auto csv_path = SampleFilePathFor(view_dat_path);
  if (!csv_path) return csv_path.problem();
  auto summary = ReadShiftJisFile(ToNativePath(view_dat_path));
  if (!summary) return Problem{view_dat_path, 0, 0, summary.problem().what};
  auto samples = ReadShiftJisFile(ToNativePath(csv_path.value()));
  if (!samples) return Problem{csv_path.value(), 0, 0, samples.problem().what};
  return ReadDataTexts(summary.value(), samples.value(), view_dat_path, csv_path.value());
}

void CommitLoadedData(const LoadedData& d, MeasurementRecord& rec, DerivedSeries& s) {
  rec.SampInterval = d.record.SampInterval;
  rec.DataNum = d.record.DataNum;
  rec.MeasTime = d.record.MeasTime;
  const int n = static_cast<int>(d.record.DataNum);
  const DerivedSeries& from = d.series;
  for (int i = 1; i <= n; ++i) {
    for (int ch = 0; ch < 2; ++ch) {
      rec.Encoder(ch, i) = d.record.Encoder(ch, i);
      rec.Volt(ch, i) = d.record.Volt(ch, i);
      s.Torque(ch, i) = from.Torque(ch, i);
      s.Angle_deg(ch, i) = from.Angle_deg(ch, i);
      s.Power(ch, i) = from.Power(ch, i);
    }
    for (int row = 0; row < 3; ++row) {
      s.Distance(row, i) = from.Distance(row, i);
      s.Speed(row, i) = from.Speed(row, i);
    }
    s.Beta_deg(i) = from.Beta_deg(i);
    s.Alpha_deg(i) = from.Alpha_deg(i);
    s.x(i) = from.x(i);
    s.y(i) = from.y(i);
  }
}

}  // namespace velquor
