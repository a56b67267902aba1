#include "catalogue/trial_document.h"

#include <cmath>
#include <nlohmann/json.hpp>
#include <optional>

#include "common/text_file.h"

namespace velquor {
namespace {

using nlohmann::json;

// Takes fields out of the document, keeping the first fault: the field where it lies ("pushes.
// wheels[1].summary.steady") and what was expected there. After a fault every read gives an
// empty value, and the document is refused as a whole.
class FieldReader {
 public:
  explicit FieldReader(std::string path) : path_(std::move(path)) {}

  const json* Member(const json& object, const std::string& where, std::string_view key,
                     json::value_t kind, bool optional = false) {
    if (fault_) return nullptr;
    const std::string name = Join(where, key);
    if (!object.is_object()) return Fail(where, "an object");
    const auto it = object.find(key);
    if (it == object.end()) {
      if (optional) return nullptr;
      return Fail(name, "present");
    }
    if (!Is(*it, kind)) return Fail(name, Expected(kind));
    return &*it;
  }

  std::string Text(const json& o, const std::string& where, std::string_view key,
                   bool optional = false) {
    const json* v = Member(o, where, key, json::value_t::string, optional);
    return v ? v->get<std::string>() : std::string();
  }

  double Number(const json& o, const std::string& where, std::string_view key) {
    const json* v = Member(o, where, key, json::value_t::number_float);
    return v ? v->get<double>() : 0.0;
  }

  // A number or null.
  std::optional<double> MaybeNumber(const json& o, const std::string& where, std::string_view key) {
    if (fault_) return std::nullopt;
    if (!o.is_object()) return Fail(where, "an object"), std::nullopt;
    const auto it = o.find(key);
    if (it == o.end()) return Fail(Join(where, key), "present"), std::nullopt;
    if (it->is_null()) return std::nullopt;
    if (!it->is_number()) return Fail(Join(where, key), "a number or null"), std::nullopt;
    return it->get<double>();
  }

  std::int64_t Whole(const json& o, const std::string& where, std::string_view key) {
    const json* v = Member(o, where, key, json::value_t::number_integer);
    return v ? v->get<std::int64_t>() : 0;
  }

  bool Flag(const json& o, const std::string& where, std::string_view key) {
    const json* v = Member(o, where, key, json::value_t::boolean);
    return v ? v->get<bool>() : false;
  }

  // A label: optional, and only of the characters labels may hold.
  std::string Label(const json& o, std::string_view key) {
    std::string text = Text(o, "", key, true);
    if (auto bad = LabelProblem(key, text); bad && !fault_) {
      fault_ = Problem{path_, 0, 0, "field \"" + std::string(key) + "\": " + *bad};
    }
    return text;
  }

  const std::optional<Problem>& fault() const { return fault_; }

  static std::string Join(const std::string& where, std::string_view key) {
    return where.empty() ? std::string(key) : where + "." + std::string(key);
  }

 private:
  static bool Is(const json& v, json::value_t kind) {
    switch (kind) {
      case json::value_t::number_float:
        return v.is_number();
      case json::value_t::number_integer:
        return v.is_number_integer();
      default:
        return v.type() == kind;
    }
  }

  static std::string Expected(json::value_t kind) {
    switch (kind) {
      case json::value_t::string:
        return "text";
      case json::value_t::number_float:
        return "a number";
      case json::value_t::number_integer:
        return "a whole number";
      case json::value_t::boolean:
        return "true or false";
      case json::value_t::array:
        return "a list";
      case json::value_t::object:
        return "an object";
      default:
        return "null";
    }
  }

  const json* Fail(const std::string& field, const std::string& expected) {
    fault_ = Problem{
        path_, 0, 0,
        "field \"" + field + "\": " + (expected == "present" ? "missing" : "expected " + expected)};
    return nullptr;
  }

  std::string path_;
  std::optional<Problem> fault_;
};

constexpr json::value_t kArray = json::value_t::array;
constexpr json::value_t kObject = json::value_t::object;

void ReadPair(FieldReader& r, const json& o, const std::string& where, std::string_view key,
              std::array<double, 2>& to) {
  const json* a = r.Member(o, where, key, kArray);
  if (a == nullptr) return;
  const std::string name = FieldReader::Join(where, key);
  if (a->size() != 2 || !a->at(0).is_number() || !a->at(1).is_number()) {
    r.Member(json::object(), "", name, kArray);  // records the fault: not two numbers
    return;
  }
  to = {a->at(0).get<double>(), a->at(1).get<double>()};
}

void ReadSummary(FieldReader& r, const json& s, const std::string& where, PushSummary& to) {
  to.pushes = static_cast<int>(r.Whole(s, where, "pushes"));
  to.steady = static_cast<int>(r.Whole(s, where, "steady"));
  to.push_frequency_per_min = r.MaybeNumber(s, where, "push_frequency_per_min");
  const json* figures = r.Member(s, where, "figures", kObject);
  if (figures == nullptr) return;
  const std::string at = FieldReader::Join(where, "figures");
  for (int f = 0; f < kPushFigureCount; ++f) {
    if (!IsSummarised(static_cast<PushFigure>(f))) continue;
    const std::string_view name = kPushFigureNames.at(static_cast<std::size_t>(f));
    const json* fig = r.Member(*figures, at, name, kObject);
    if (fig == nullptr) return;
    const std::string fat = FieldReader::Join(at, name);
    FigureSummary& fs = to.figures.at(static_cast<std::size_t>(f));
    fs.mean = r.MaybeNumber(*fig, fat, "mean");
    fs.sd = r.MaybeNumber(*fig, fat, "sd");
    fs.cv_pct = r.MaybeNumber(*fig, fat, "cv_pct");
  }
}

void ReadSpans(FieldReader& r, const json& wheel, const std::string& where,
               std::vector<PushSpan>& to) {
  const json* pushes = r.Member(wheel, where, "pushes", kArray);
  if (pushes == nullptr) return;
  for (std::size_t i = 0; i < pushes->size(); ++i) {
    const std::string at = where + ".pushes[" + std::to_string(i) + "]";
    const json& p = pushes->at(i);
    to.push_back({static_cast<int>(r.Whole(p, at, "push")), r.Number(p, at, "on_s"),
                  r.Number(p, at, "off_s")});
  }
}

void ReadLists(FieldReader& r, const json& doc, TrialFacts& f) {
  if (const json* cycles = r.Member(doc, "", "cycles", kArray)) {
    for (std::size_t i = 0; i < cycles->size(); ++i) {
      const std::string at = "cycles[" + std::to_string(i) + "]";
      const json& c = cycles->at(i);
      f.cycles.push_back(
          {r.Text(c, at, "stem"), r.Whole(c, at, "first_sample"), r.Whole(c, at, "samples")});
    }
  }
  if (const json* markers = r.Member(doc, "", "markers", kArray)) {
    for (std::size_t i = 0; i < markers->size(); ++i) {
      const std::string at = "markers[" + std::to_string(i) + "]";
      const json& m = markers->at(i);
      f.markers.push_back({static_cast<int>(r.Whole(m, at, "number")), r.Whole(m, at, "sample"),
                           r.Number(m, at, "t_s"), r.Text(m, at, "label")});
    }
  }
}

}  // namespace

Result<CatalogueTrial> ReadCatalogueTrial(std::string_view text, const std::string& path) {
  const json doc = json::parse(text, nullptr, false);
  if (doc.is_discarded()) return Problem{path, 0, 0, "not a JSON document"};
  FieldReader r(path);
  CatalogueTrial d;
  TrialFacts& f = d.facts;
  f.stem = r.Text(doc, "", "trial");
  d.complete = r.Flag(doc, "", "complete");
  f.started = r.Text(doc, "", "started");
  f.who.participant = r.Label(doc, "participant");
  f.who.session = r.Label(doc, "session");
  f.who.task = r.Label(doc, "task");
  f.interval_ms = r.Number(doc, "", "interval_ms");
  f.samples = r.Whole(doc, "", "samples");
  if (const json* cal = r.Member(doc, "", "calibration", kObject)) {
    ReadPair(r, *cal, "calibration", "ka1", f.ka1);
    ReadPair(r, *cal, "calibration", "ka0", f.ka0);
    f.shift = r.Flag(*cal, "calibration", "shift");
  }
  ReadLists(r, doc, f);
  const json* pushes = r.Member(doc, "", "pushes", kObject);
  const json* wheels = pushes ? r.Member(*pushes, "pushes", "wheels", kArray) : nullptr;
  if (wheels != nullptr && wheels->size() != 2) {
    return Problem{path, 0, 0, "field \"pushes.wheels\": expected the two wheels"};
  }
  for (std::size_t w = 0; wheels != nullptr && w < 2; ++w) {
    const std::string at = "pushes.wheels[" + std::to_string(w) + "]";
    if (const json* s = r.Member(wheels->at(w), at, "summary", kObject)) {
      ReadSummary(r, *s, at + ".summary", d.summaries.at(w));
    }
    ReadSpans(r, wheels->at(w), at, d.pushes.at(w));
  }
  if (r.fault()) return *r.fault();
  if (!(f.interval_ms > 0) || f.samples < 0) {
    return Problem{path, 0, 0, "field \"interval_ms\" or \"samples\": out of range"};
  }
  return d;
}

Result<CatalogueTrial> LoadCatalogueTrial(const std::string& path) {
  // The pushes of an hour-long trial make a document of a few megabytes.
  constexpr std::size_t kMaxDocumentBytes = 64u << 20;
  const Result<std::string> text = ReadFileBytes(path, kMaxDocumentBytes);
  if (!text) return text.problem();
  return ReadCatalogueTrial(text.value(), path);
}

}  // namespace velquor
