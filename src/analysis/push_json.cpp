#include "analysis/push_json.h"

#include <cmath>
#include <optional>
#include <vector>

#include "analysis/push_pairs.h"
#include "common/json_text.h"
#include "common/shortest_text.h"

namespace velquor {
namespace {

std::string Number(std::optional<double> v) {
  return v && std::isfinite(*v) ? ShortestText(*v) : "null";
}

std::string Numbers(const std::array<double, kCurvePoints>& values) {
  std::vector<std::string> members;
  members.reserve(values.size());
  for (double v : values) members.push_back(Number(v));
  return JsonArray(members);
}

std::string Parameters(const PushParameters& p) {
  JsonObject o;
  for (int k = 0; k < kPushParameterCount; ++k) {
    const auto which = static_cast<PushParameter>(k);
    o.Add(kPushParameterNames.at(static_cast<std::size_t>(k)),
          Number(PushParameterValue(p, which)));
  }
  o.Add(kSummaryBoundNames.at(0), Number(p.from_s));
  o.Add(kSummaryBoundNames.at(1), Number(p.to_s));
  return o.str();
}

JsonObject& AddFigures(JsonObject& o, const Push& push) {
  for (int f = 0; f < kPushFigureCount; ++f) {
    o.Add(kPushFigureNames.at(static_cast<std::size_t>(f)),
          Number(push.Figure(static_cast<PushFigure>(f))));
  }
  return o;
}

std::string PushObject(const Push& push) {
  JsonObject o;
  o.Add("push", std::to_string(push.number));
  return AddFigures(o, push).str();
}

std::string Summary(const PushSummary& s) {
  JsonObject figures;
  for (int f = 0; f < kPushFigureCount; ++f) {
    const auto figure = static_cast<PushFigure>(f);
    if (!IsSummarised(figure)) continue;
    const FigureSummary& fs = s.Figure(figure);
    figures.Add(kPushFigureNames.at(static_cast<std::size_t>(f)),
                JsonObject()
                    .Add("mean", Number(fs.mean))
                    .Add("sd", Number(fs.sd))
                    .Add("cv_pct", Number(fs.cv_pct))
                    .str());
  }
  return JsonObject()
      .Add("pushes", std::to_string(s.pushes))
      .Add("partial", std::to_string(s.partial))
      .Add("rejected", std::to_string(s.rejected))
      .Add("steady", std::to_string(s.steady))
      .Add("push_frequency_per_min", Number(s.push_frequency_per_min))
      .Add("figures", figures.str())
      .str();
}

std::string Curve(const std::optional<PushCurve>& c) {
  if (!c) return "null";
  return JsonObject()
      .Add("mean", Numbers(c->mean))
      .Add("sd", c->sd ? Numbers(*c->sd) : "null")
      .str();
}

std::string Wheel(const WheelPushes& w) {
  std::vector<std::string> pushes;
  pushes.reserve(w.pushes.size());
  for (const Push& p : w.pushes) pushes.push_back(PushObject(p));
  return JsonObject()
      .Add("wheel", std::to_string(w.wheel))
      .Add("pushes", JsonArray(pushes))
      .Add("summary", Summary(w.summary))
      .Add("curve", Curve(w.curve))
      .str();
}

std::string MeanSdObject(const MeanSd& m) {
  return JsonObject().Add("mean", Number(m.mean)).Add("sd", Number(m.sd)).str();
}

// The summarised figures by name, each with what `value` gives for it.
template <typename Value>
std::string SiObject(Value value) {
  JsonObject o;
  for (int f = 0; f < kPushFigureCount; ++f) {
    const auto figure = static_cast<PushFigure>(f);
    if (IsSummarised(figure))
      o.Add(kPushFigureNames.at(static_cast<std::size_t>(f)), value(figure));
  }
  return o.str();
}

std::string Pairs(const PushPairs& pairs) {
  std::vector<std::string> members;
  members.reserve(pairs.pairs.size());
  for (const PushPair& p : pairs.pairs) {
    members.push_back(JsonObject()
                          .Add("left", std::to_string(p.left))
                          .Add("right", std::to_string(p.right))
                          .Add("lag_ms", Number(p.lag_ms))
                          .Add("si", SiObject([&p](PushFigure f) { return Number(p.Si(f)); }))
                          .str());
  }
  return JsonArray(members);
}

std::string PairsSummaryObject(const PairsSummary& s) {
  return JsonObject()
      .Add("lag_ms", MeanSdObject(s.lag_ms))
      .Add("si", SiObject([&s](PushFigure f) { return MeanSdObject(s.Si(f)); }))
      .str();
}

}  // namespace

std::string PushFiguresJson(const Push& push) {
  JsonObject o;
  return AddFigures(o, push).str();
}

std::string PushJson(std::string_view file, const PushAnalysis& a) {
  const PushPairs pairs = PairPushes(a);
  return JsonObject()
      .AddText("file", file)
      .Add("parameters", Parameters(a.parameters))
      .Add("wheels", JsonArray({Wheel(a.wheels[0]), Wheel(a.wheels[1])}))
      .Add("pairs", Pairs(pairs))
      .Add("pairs_summary", PairsSummaryObject(pairs.summary))
      .str();
}

}  // namespace velquor
