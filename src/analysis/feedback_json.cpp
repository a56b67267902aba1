#include "analysis/feedback_json.h"

#include <cstddef>
#include <optional>
#include <vector>

#include "common/json_text.h"
#include "common/shortest_text.h"

namespace velquor {
namespace {

std::string Number(std::optional<double> v) {
  return v ? JsonNumber(*v) : "null";
}

std::string EndText(const BandEnd& end) {
  return end.kind == BandEnd::Kind::kOpen ? "null" : JsonString(BandEndText(end));
}

std::string BandObject(const Band& band) {
  return JsonObject().Add("low", Number(band.low)).Add("high", Number(band.high)).str();
}

}  // namespace

std::string FeedbackJson(const LiveFeedback& live, std::string_view baseline_from) {
  const FeedbackModel& model = live.Model();
  const FeedbackSettings& s = model.Settings();
  std::vector<std::string> targets;
  for (std::size_t t = 0; t < s.targets.size(); ++t) {
    const Target& target = s.targets[t];
    targets.push_back(JsonObject()
                          .AddText("variable", FeedbackVariableName(target.variable))
                          .Add("low", EndText(target.low))
                          .Add("high", EndText(target.high))
                          .Add("tone", target.tone ? "true" : "false")
                          .Add("band", JsonArray({BandObject(model.BandOf(0, t)),
                                                  BandObject(model.BandOf(1, t))}))
                          .str());
  }
  std::vector<std::string> pushes;
  pushes.reserve(live.Given().size());
  for (const FeedbackGiven& g : live.Given()) {
    JsonObject in_band;
    for (std::size_t t = 0; t < s.targets.size() && t < g.in_band.size(); ++t) {
      const std::optional<bool> in = g.in_band[t];
      in_band.Add(FeedbackVariableName(s.targets[t].variable),
                  in ? (*in ? "true" : "false") : "null");
    }
    pushes.push_back(JsonObject()
                         .Add("wheel", std::to_string(g.wheel))
                         .Add("push", std::to_string(g.push))
                         .Add("shown", g.shown ? "true" : "false")
                         .Add("in_band", in_band.str())
                         .str());
  }
  return JsonObject()
      .AddText("schedule", ScheduleName(s.schedule))
      .Add("baseline", baseline_from.empty() ? "null" : JsonString(baseline_from))
      .Add("targets", JsonArray(targets))
      .Add("pushes", JsonArray(pushes))
      .str();
}

}  // namespace velquor
