#include "files/trial_completion.h"

#include <dirent.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>

#include "analysis/trial_pushes.h"
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

// Kept in the order written, so that what is carried over (the feedback) reads as it was.
using json = nlohmann::ordered_json;

// The member of that name, when `v` is an object that has it; none otherwise.
const json* Find(const json* v, const char* key) {
  if (v == nullptr || !v->is_object()) return nullptr;
  const auto it = v->find(key);
  return it == v->end() ? nullptr : &*it;
}

std::optional<double> Number(const json* v, const char* key) {
  const json* m = Find(v, key);
  if (m == nullptr || !m->is_number()) return std::nullopt;
  return m->get<double>();
}

std::optional<std::string> Text(const json* v, const char* key) {
  const json* m = Find(v, key);
  if (m == nullptr || !m->is_string()) return std::nullopt;
  return m->get<std::string>();
}

std::optional<bool> Flag(const json* v, const char* key) {
  const json* m = Find(v, key);
  if (m == nullptr || !m->is_boolean()) return std::nullopt;
  return m->get<bool>();
}

std::optional<std::array<double, 2>> Pair(const json* v) {
  if (v == nullptr || !v->is_array() || v->size() != 2) return std::nullopt;
  if (!v->at(0).is_number() || !v->at(1).is_number()) return std::nullopt;
  return std::array<double, 2>{v->at(0).get<double>(), v->at(1).get<double>()};
}

std::optional<std::int64_t> Whole(const json* v, const char* key) {
  const auto n = Number(v, key);
  if (!n || *n != std::floor(*n) || std::fabs(*n) > 9e15) return std::nullopt;
  return static_cast<std::int64_t>(*n);
}

PushParameters ParametersOf(const json& doc) {
  const json* given = Find(Find(&doc, "pushes"), "parameters");
  if (given == nullptr) return {};
  PushParameters p;
  for (int k = 0; k < kPushParameterCount; ++k) {
    const auto which = static_cast<PushParameter>(k);
    const std::string name(kPushParameterNames.at(static_cast<std::size_t>(k)));
    const auto v = Number(given, name.c_str());
    if (v && !SetPushParameter(p, which, PlainForm(*v)).ok()) return {};
  }
  p.from_s = Number(given, std::string(kSummaryBoundNames.at(0)).c_str());
  p.to_s = Number(given, std::string(kSummaryBoundNames.at(1)).c_str());
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

Result<TrialDocument> ReadTrialDocument(std::string_view text, const std::string& file) {
  // A document nested deeper than the program writes is no trial's.
  constexpr std::size_t kDeepest = 64;
  std::size_t depth = 0;
  bool too_deep = false;
  const json::parser_callback_t limit = [&](int, json::parse_event_t event, json&) {
    if (event == json::parse_event_t::object_start || event == json::parse_event_t::array_start) {
      too_deep = too_deep || ++depth > kDeepest;
    } else if (event == json::parse_event_t::object_end ||
               event == json::parse_event_t::array_end) {
      --depth;
    }
    return !too_deep;
  };
  json v;
  try {
    v = json::parse(text, limit, true);
  } catch (const json::parse_error& e) {
    // Where the text stops being JSON, as a line and a column.
    const std::size_t at = std::min<std::size_t>(e.byte > 0 ? e.byte - 1 : 0, text.size());
    const std::string_view before = text.substr(0, at);
    const auto line = static_cast<int>(std::count(before.begin(), before.end(), '\n')) + 1;
    const std::size_t line_start = before.rfind('\n');
    const auto column =
        static_cast<int>(at - (line_start == std::string_view::npos ? 0 : line_start + 1)) + 1;
    return Problem{file, line, column, "is not a JSON document: it stops being one here"};
  } catch (const json::exception& e) {
    // A number too large for any number the program holds, and the like.
    return Problem{file, 0, 0, std::string("is not a trial's JSON document: ") + e.what()};
  }
  if (too_deep) return Problem{file, 0, 0, "is nested deeper than a trial's document"};
  if (v.is_discarded()) return Problem{file, 0, 0, "is not a JSON document"};
  TrialDocument out;
  TrialFacts& f = out.facts;
  const auto complete = Flag(&v, "complete");
  if (!complete) return Missing(file, "\"complete\": true or false");
  out.complete = *complete;
  f.stem = Text(&v, "trial").value_or("");
  f.started = Text(&v, "started").value_or("");
  // Whose trial it is, and the feedback the person was given, go into the completed document
  // as they were.
  f.who = {Text(&v, "participant").value_or(""), Text(&v, "session").value_or(""),
           Text(&v, "task").value_or("")};
  if (const json* feedback = Find(&v, "feedback"); feedback != nullptr && feedback->is_object()) {
    f.feedback_json = feedback->dump();
  }
  const auto interval = Number(&v, "interval_ms");
  if (!interval || !(*interval > 0)) return Missing(file, "interval_ms above 0");
  f.interval_ms = *interval;
  f.samples = Whole(&v, "samples").value_or(0);
  const json* cal = Find(&v, "calibration");
  const auto ka1 = Pair(Find(cal, "ka1"));
  const auto ka0 = Pair(Find(cal, "ka0"));
  if (!ka1 || !ka0) return Missing(file, "calibration with ka1 and ka0 of two numbers each");
  f.ka1 = *ka1;
  f.ka0 = *ka0;
  f.shift = Flag(cal, "shift").value_or(false);
  if (const json* cycles = Find(&v, "cycles"); cycles != nullptr && cycles->is_array()) {
    for (const json& c : *cycles) {
      f.cycles.push_back({Text(&c, "stem").value_or(""), Whole(&c, "first_sample").value_or(0),
                          Whole(&c, "samples").value_or(0)});
    }
  }
  if (const json* markers = Find(&v, "markers"); markers != nullptr && markers->is_array()) {
    for (const json& m : *markers) {
      const auto number = Whole(&m, "number");
      const auto sample = Whole(&m, "sample");
      if (!number || !sample || *number < 1 || *number > 1000000000) continue;
      f.markers.push_back({static_cast<int>(*number), *sample,
                           static_cast<double>(*sample) * f.interval_ms / 1000,
                           Text(&m, "label").value_or("")});
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
