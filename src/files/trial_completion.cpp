#include "files/trial_completion.h"

#include <dirent.h>

#include <algorithm>
#include <cmath>
#include <memory>

#include "analysis/trial_pushes.h"
#include "common/json_value.h"
#include "common/number_text.h"
#include "common/text_file.h"
#include "files/push_csv_file.h"
#include "files/trial_file_text.h"

namespace velquor {
namespace {

// A document with every push of an hour's trial at 1 ms is some megabytes.
constexpr std::size_t kLargestDocument = std::size_t{256} << 20;
constexpr std::string_view kJsonEnd = "_trial.json";

Problem Missing(const std::string& file, const std::string& what) {
  return {file, 0, 0, "the trial's document has no " + what};
}

std::optional<std::array<double, 2>> Pair(const JsonValue* v) {
  if (v == nullptr || v->kind != JsonValue::Kind::kArray || v->items.size() != 2) {
    return std::nullopt;
  }
  std::array<double, 2> out{};
  for (std::size_t k = 0; k < 2; ++k) {
    if (v->items[k].kind != JsonValue::Kind::kNumber) return std::nullopt;
    out.at(k) = v->items[k].number;
  }
  return out;
}

std::optional<std::int64_t> Whole(const JsonValue& v, std::string_view key) {
  const auto n = v.Number(key);
  if (!n || *n != std::floor(*n) || std::fabs(*n) > 9e15) return std::nullopt;
  return static_cast<std::int64_t>(*n);
}

PushParameters ParametersOf(const JsonValue& doc) {
  const JsonValue* pushes = doc.Find("pushes");
  const JsonValue* given = pushes != nullptr ? pushes->Find("parameters") : nullptr;
  if (given == nullptr) return {};
  PushParameters p;
  for (int k = 0; k < kPushParameterCount; ++k) {
    const auto which = static_cast<PushParameter>(k);
    const auto v = given->Number(kPushParameterNames.at(static_cast<std::size_t>(k)));
    if (v && !SetPushParameter(p, which, PlainForm(*v)).ok()) return {};
  }
  p.from_s = given->Number(kSummaryBoundNames.at(0));
  p.to_s = given->Number(kSummaryBoundNames.at(1));
  return CheckPushParameters(p).ok() ? p : PushParameters{};
}

// The markers of the document, and those the per-sample file holds that the document was
// written too early to hold, each at most once, in number order.
void JoinMarkers(const LoadedTrial& trial, TrialFacts& facts) {
  for (const TrialCsvMarker& m : trial.markers) {
    const bool known = std::any_of(facts.markers.begin(), facts.markers.end(),
                                   [&m](const TrialMarker& k) { return k.number == m.number; });
    if (!known) {
      facts.markers.push_back(
          {m.number, m.sample, static_cast<double>(m.sample) * facts.interval_ms / 1000, ""});
    }
  }
  const std::int64_t n = trial.series->Samples();
  std::erase_if(facts.markers, [n](const TrialMarker& m) { return m.sample < 1 || m.sample > n; });
  std::sort(facts.markers.begin(), facts.markers.end(),
            [](const TrialMarker& a, const TrialMarker& b) { return a.number < b.number; });
}

// Completes one trial; the notice says what was done, or why it was left.
Problem CompleteOne(const std::string& dir, const std::string& name) {
  const std::string json_path = dir + "/" + name;
  auto bytes = ReadFileBytes(json_path, kLargestDocument);
  if (!bytes) return bytes.problem();
  auto doc = ReadTrialDocument(bytes.value(), json_path);
  if (!doc) {
    Problem p = doc.problem();
    p.what += "; the trial is left as it is";
    return p;
  }
  if (doc.value().complete) return {};
  TrialFacts& facts = doc.value().facts;
  const std::string stem = name.substr(0, name.size() - kJsonEnd.size());
  const std::string csv_path = dir + "/" + TrialCsvName(stem);
  Calibration cal;
  cal.Ka1 = facts.ka1;
  cal.Ka0 = facts.ka0;
  cal.loaded = true;
  auto trial = LoadTrialCsv(csv_path, cal, facts.shift);
  if (!trial) {
    return {json_path, 0, 0,
            "the trial was left incomplete and cannot be completed: " + trial.problem().Describe()};
  }
  const TrialSeries& series = *trial.value().series;
  if (series.IntervalMs() != facts.interval_ms) {
    return {json_path, 0, 0,
            "the trial was left incomplete and cannot be completed: its per-sample file is at " +
                PlainForm(series.IntervalMs()) + " ms, its document says " +
                PlainForm(facts.interval_ms) + " ms"};
  }
  auto pushes = AnalyseTrial(series, doc.value().parameters);
  if (!pushes) {
    return {json_path, 0, 0,
            "the trial was left incomplete and cannot be analysed: " + pushes.problem().what};
  }
  facts.samples = series.Samples();
  JoinMarkers(trial.value(), facts);
  if (Status st = WriteFileAtomic(json_path, TrialJsonText(facts, pushes.value(), true), true);
      !st) {
    return st.problem();
  }
  std::string said = "the trial " + stem +
                     " was left incomplete when the program stopped; it was completed from " +
                     TrialCsvName(stem) + ": " + std::to_string(series.Samples()) + " samples (" +
                     PlainForm(static_cast<double>(series.Samples()) * series.Dt()) + " s), " +
                     std::to_string(pushes.value().wheels[0].pushes.size()) + " and " +
                     std::to_string(pushes.value().wheels[1].pushes.size()) + " pushes (ch0, ch1)";
  for (const Problem& n : trial.value().notices) said += "; " + n.Describe();
  const std::string table = dir + "/" + TrialPushesName(stem);
  if (Status st = WritePushCsvFile(table, TrialPushesCsvText(facts, pushes.value())); !st) {
    said += "; its push table was not written: " + st.problem().what;
  } else {
    said += "; its push table is " + table;
  }
  return {json_path, 0, 0, said};
}

}  // namespace

Result<TrialDocument> ReadTrialDocument(std::string_view json, const std::string& file) {
  auto parsed = ParseJson(json, file);
  if (!parsed) return parsed.problem();
  const JsonValue& v = parsed.value();
  TrialDocument out;
  TrialFacts& f = out.facts;
  const auto complete = v.Bool("complete");
  if (!complete) return Missing(file, "\"complete\": true or false");
  out.complete = *complete;
  f.stem = v.Text("trial").value_or("");
  f.started = v.Text("started").value_or("");
  // Whose trial it is goes into the completed document as it was.
  f.who = {v.Text("participant").value_or(""), v.Text("session").value_or(""),
           v.Text("task").value_or("")};
  const auto interval = v.Number("interval_ms");
  if (!interval || !(*interval > 0)) return Missing(file, "interval_ms above 0");
  f.interval_ms = *interval;
  f.samples = Whole(v, "samples").value_or(0);
  const JsonValue* cal = v.Find("calibration");
  const auto ka1 = Pair(cal != nullptr ? cal->Find("ka1") : nullptr);
  const auto ka0 = Pair(cal != nullptr ? cal->Find("ka0") : nullptr);
  if (!ka1 || !ka0) return Missing(file, "calibration with ka1 and ka0 of two numbers each");
  f.ka1 = *ka1;
  f.ka0 = *ka0;
  f.shift = cal->Bool("shift").value_or(false);
  if (const JsonValue* cycles = v.Find("cycles");
      cycles != nullptr && cycles->kind == JsonValue::Kind::kArray) {
    for (const JsonValue& c : cycles->items) {
      f.cycles.push_back({c.Text("stem").value_or(""), Whole(c, "first_sample").value_or(0),
                          Whole(c, "samples").value_or(0)});
    }
  }
  if (const JsonValue* markers = v.Find("markers");
      markers != nullptr && markers->kind == JsonValue::Kind::kArray) {
    for (const JsonValue& m : markers->items) {
      const auto number = Whole(m, "number");
      const auto sample = Whole(m, "sample");
      if (!number || !sample || *number < 1 || *number > 1000000000) continue;
      f.markers.push_back({static_cast<int>(*number), *sample,
                           static_cast<double>(*sample) * f.interval_ms / 1000,
                           m.Text("label").value_or("")});
    }
  }
  out.parameters = ParametersOf(v);
  return out;
}

std::vector<Problem> CompleteLeftTrials(const std::string& native_dir) {
  std::vector<Problem> out;
  std::vector<std::string> names;
  std::unique_ptr<DIR, int (*)(DIR*)> d(::opendir(native_dir.c_str()), ::closedir);
  if (!d) return out;
  while (const dirent* e = ::readdir(d.get())) {
    const std::string name = e->d_name;
    if (name.size() > kJsonEnd.size() &&
        name.compare(name.size() - kJsonEnd.size(), kJsonEnd.size(), kJsonEnd) == 0) {
      names.push_back(name);
    }
  }
  std::sort(names.begin(), names.end());
  for (const std::string& name : names) {
    Problem p = CompleteOne(native_dir, name);
    if (!p.what.empty()) out.push_back(std::move(p));
  }
  return out;
}

}  // namespace velquor
