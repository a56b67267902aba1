#include "files/trial_file_text.h"

#include <array>
#include <charconv>
#include <cmath>
#include <vector>

#include "analysis/push_forms.h"
#include "analysis/push_json.h"
#include "common/json_text.h"
#include "common/shortest_text.h"

namespace velquor {
namespace {

// The shortest text that reads back to the same double, added to `out`; nothing for a value
// that is not finite (speed and power at sample 1).
void AppendNumber(double v, std::string& out) {
  if (!std::isfinite(v)) return;
  std::array<char, 32> buf{};
  const auto res = std::to_chars(buf.data(), buf.data() + buf.size(), v);
  out.append(buf.data(), res.ptr);
}

void AppendWhole(std::int64_t v, std::string& out) {
  std::array<char, 24> buf{};
  const auto res = std::to_chars(buf.data(), buf.data() + buf.size(), v);
  out.append(buf.data(), res.ptr);
}

std::string Number(double v) {
  return std::isfinite(v) ? ShortestText(v) : "null";
}

std::string Pair(const std::array<double, 2>& v) {
  return JsonArray({Number(v[0]), Number(v[1])});
}

std::string Cycles(const std::vector<TrialCycle>& cycles) {
  std::vector<std::string> members;
  members.reserve(cycles.size());
  for (const TrialCycle& c : cycles) {
    members.push_back(JsonObject()
                          .AddText("stem", c.stem)
                          .Add("first_sample", std::to_string(c.first_sample))
                          .Add("samples", std::to_string(c.samples))
                          .str());
  }
  return JsonArray(members);
}

}  // namespace

std::string TrialMarkersJson(const std::vector<TrialMarker>& markers) {
  std::vector<std::string> members;
  members.reserve(markers.size());
  for (const TrialMarker& m : markers) {
    members.push_back(JsonObject()
                          .Add("number", std::to_string(m.number))
                          .Add("sample", std::to_string(m.sample))
                          .Add("t_s", Number(m.t_s))
                          .AddText("label", m.label)
                          .str());
  }
  return JsonArray(members);
}

std::string TrialCsvName(std::string_view stem) {
  return std::string(stem) + "_trial.csv";
}
std::string TrialJsonName(std::string_view stem) {
  return std::string(stem) + "_trial.json";
}
std::string TrialPushesName(std::string_view stem) {
  return std::string(stem) + "_trial_pushes.csv";
}

std::string TrialCsvHeader() {
  return "sample,t_s,volt0_V,volt1_V,encoder0,encoder1,torque0_Nm,torque1_Nm,angle0_deg,"
         "angle1_deg,speed0_m_per_s,speed1_m_per_s,power0_W,power1_W,marker\n";
}

void AppendTrialCsvRow(const TrialSeries& s, std::int64_t i, int marker, std::string& out) {
  AppendWhole(i, out);
  out += ',';
  AppendNumber(static_cast<double>(i) * s.Dt(), out);
  // Each column pair: wheel 0, then wheel 1.
  const auto both = [&](auto value) {
    for (int w = 0; w < 2; ++w) {
      out += ',';
      AppendNumber(value(w), out);
    }
  };
  both([&](int w) { return static_cast<double>(s.Volt(w, i)); });
  for (int w = 0; w < 2; ++w) {
    out += ',';
    AppendWhole(s.Encoder(w, i), out);
  }
  both([&](int w) { return s.Torque(w, i); });
  both([&](int w) { return s.AngleDeg(w, i); });
  both([&](int w) { return s.Speed(w, i); });
  both([&](int w) { return s.Power(w, i); });
  out += ',';
  if (marker > 0) AppendWhole(marker, out);
  out += '\n';
}

std::string IsoLocalTime(std::time_t when) {
  std::tm local{};
  localtime_r(&when, &local);
  std::array<char, 40> buf{};
  const std::size_t n = std::strftime(buf.data(), buf.size(), "%Y-%m-%dT%H:%M:%S%z", &local);
  std::string text(buf.data(), n);
  // strftime gives the offset as "+0900"; ISO 8601 writes it "+09:00".
  if (text.size() >= 5) text.insert(text.size() - 2, ":");
  return text;
}

std::string TrialJsonText(const TrialFacts& facts, const PushAnalysis& pushes, bool complete) {
  const std::string calibration = JsonObject()
                                      .Add("ka1", Pair(facts.ka1))
                                      .Add("ka0", Pair(facts.ka0))
                                      .Add("shift", facts.shift ? "true" : "false")
                                      .str();
  JsonObject document;
  document.AddText("trial", facts.stem)
      .Add("complete", complete ? "true" : "false")
      .AddText("started", facts.started)
      .AddText("participant", facts.who.participant)
      .AddText("session", facts.who.session)
      .AddText("task", facts.who.task)
      .Add("interval_ms", Number(facts.interval_ms))
      .Add("samples", std::to_string(facts.samples))
      .Add("calibration", calibration)
      .Add("cycles", Cycles(facts.cycles))
      .Add("markers", TrialMarkersJson(facts.markers))
      .Add("pushes", PushJson(TrialCsvName(facts.stem), pushes));
  if (!facts.feedback_json.empty()) document.Add("feedback", facts.feedback_json);
  return document.str() + "\n";
}

std::string TrialPushesCsvText(const TrialFacts& facts, const PushAnalysis& pushes) {
  return PushCsv(TrialCsvName(facts.stem), pushes);
}

}  // namespace velquor
