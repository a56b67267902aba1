#include "catalogue/bids_text.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <ctime>

#include "common/json_text.h"
#include "common/number_parse.h"
#include "common/shortest_text.h"

namespace velquor {
namespace {

struct Channel {
  const char* name;
  const char* component;
  const char* type;
  const char* tracked_point;
  const char* units;
  const char* description;
};

// The wheel's own frame: x forward along its travel, y along its axle, z up.
constexpr std::array<Channel, 6> kChannels = {{
    {"torque_left", "n/a", "MISC", "LeftWheel", "N.m", "propulsion torque on the left handrim"},
    {"torque_right", "n/a", "MISC", "RightWheel", "N.m", "propulsion torque on the right handrim"},
    {"angle_left", "y", "ORNT", "LeftWheel", "deg", "left wheel angle about its axle"},
    {"angle_right", "y", "ORNT", "RightWheel", "deg", "right wheel angle about its axle"},
    {"speed_left", "x", "VEL", "LeftWheel", "m/s", "left wheel rim speed"},
    {"speed_right", "x", "VEL", "RightWheel", "m/s", "right wheel rim speed"},
}};

std::string Value(double v) {
  return std::isfinite(v) ? ShortestText(v) : "n/a";
}

// A label in a table cell: tabs and line ends would break the row.
std::string Cell(std::string text) {
  std::replace_if(
      text.begin(), text.end(), [](char c) { return c == '\t' || c == '\n' || c == '\r'; }, ' ');
  return text.empty() ? "n/a" : text;
}

struct Event {
  double onset = 0;
  double duration = 0;
  std::string type, wheel, push, label;
};

}  // namespace

std::string BidsSessionFolder(const StudyLabels& who) {
  return "sub-" + who.participant + "/ses-" + who.session;
}

std::string BidsSessionPrefix(const StudyLabels& who) {
  return "sub-" + who.participant + "_ses-" + who.session;
}

std::string BidsRunStem(const BidsRun& r) {
  return BidsSessionPrefix(r.who) + "_task-" + r.who.task + "_tracksys-" + kTrackSys + "_run-" +
         std::to_string(r.run);
}

std::string BidsDatasetDescription(const std::string& version) {
  return JsonObject()
             .AddText("Name", "Velquor wheelchair propulsion trials")
             .AddText("BIDSVersion", "1.9.0")
             .AddText("DatasetType", "raw")
             .Add("GeneratedBy", JsonArray({JsonObject()
                                                .AddText("Name", "Velquor")
                                                .AddText("Version", version)
                                                .AddText("Description", "velquor-cli export-bids")
                                                .str()}))
             .str() +
         "\n";
}

std::string BidsParticipants(const std::vector<std::string>& participants) {
  std::string text = "participant_id\n";
  for (const std::string& p : participants) text += "sub-" + p + "\n";
  return text;
}

std::string BidsChannels() {
  std::string text = "name\tcomponent\ttype\ttracked_point\tunits\tdescription\n";
  for (const Channel& c : kChannels) {
    text += std::string(c.name) + "\t" + c.component + "\t" + c.type + "\t" + c.tracked_point +
            "\t" + c.units + "\t" + c.description + "\n";
  }
  return text;
}

std::string BidsMotion(const TrialSeries& s) {
  std::string text;
  for (std::int64_t i = 1; i <= s.Samples(); ++i) {
    text += Value(s.Torque(0, i)) + "\t" + Value(s.Torque(1, i)) + "\t" + Value(s.AngleDeg(0, i)) +
            "\t" + Value(s.AngleDeg(1, i)) + "\t" + Value(s.Speed(0, i)) + "\t" +
            Value(s.Speed(1, i)) + "\n";
  }
  return text;
}

std::string BidsMotionSidecar(const CatalogueTrial& doc, const std::string& version) {
  const TrialFacts& f = doc.facts;
  return JsonObject()
             .AddText("TaskName", f.who.task)
             .Add("SamplingFrequency", JsonNumber(1000.0 / f.interval_ms))
             .AddText("TrackingSystemName", "Velquor measurement wheels")
             .AddText("Manufacturer", "n/a")
             .AddText("SoftwareVersions", "Velquor " + version)
             .Add("MotionChannelCount", std::to_string(kChannels.size()))
             .Add("MISCChannelCount", "2")
             .Add("ORNTChannelCount", "2")
             .Add("VELChannelCount", "2")
             .Add("TrackedPointsCount", "2")
             .Add("RecordingDuration",
                  JsonNumber(static_cast<double>(f.samples) * f.interval_ms / 1000.0))
             .AddText("MissingValues", "n/a")
             .AddText("SpatialAxes", "ALS")
             .AddText("RotationRule", "right-hand")
             .AddText("TrialName", f.stem)
             .str() +
         "\n";
}

std::string BidsEvents(const CatalogueTrial& doc) {
  const double dt = doc.facts.interval_ms / 1000.0;
  std::vector<Event> events;
  for (std::size_t w = 0; w < doc.pushes.size(); ++w) {
    for (const PushSpan& p : doc.pushes.at(w)) {
      events.push_back({p.on_s - dt, p.off_s - p.on_s, "push", w == 0 ? "left" : "right",
                        std::to_string(p.number), "n/a"});
    }
  }
  for (const TrialMarker& m : doc.facts.markers) {
    events.push_back({m.t_s - dt, 0.0, "marker", "n/a", "n/a", Cell(m.label)});
  }
  std::stable_sort(events.begin(), events.end(),
                   [](const Event& a, const Event& b) { return a.onset < b.onset; });
  std::string text = "onset\tduration\ttrial_type\twheel\tpush\tlabel\n";
  for (const Event& e : events) {
    text += Value(std::max(e.onset, 0.0)) + "\t" + Value(e.duration) + "\t" + e.type + "\t" +
            e.wheel + "\t" + e.push + "\t" + e.label + "\n";
  }
  return text;
}

std::string BidsAcqTime(const std::string& started) {
  // "YYYY-MM-DDThh:mm:ss+hh:mm"
  if (started.size() != 25 || started[10] != 'T' || (started[19] != '+' && started[19] != '-')) {
    return "n/a";
  }
  std::tm t{};
  const auto whole = [&](std::size_t at, std::size_t n) {
    return ParseWhole(started.substr(at, n), 0, 9999);
  };
  const auto year = whole(0, 4), month = whole(5, 2), day = whole(8, 2), hour = whole(11, 2),
             minute = whole(14, 2), second = whole(17, 2), off_h = whole(20, 2),
             off_m = whole(23, 2);
  if (!year || !month || !day || !hour || !minute || !second || !off_h || !off_m) return "n/a";
  t.tm_year = static_cast<int>(*year) - 1900;
  t.tm_mon = static_cast<int>(*month) - 1;
  t.tm_mday = static_cast<int>(*day);
  t.tm_hour = static_cast<int>(*hour);
  t.tm_min = static_cast<int>(*minute);
  t.tm_sec = static_cast<int>(*second);
  const long offset = (started[19] == '+' ? 1 : -1) * (*off_h * 3600 + *off_m * 60);
  const std::time_t utc = timegm(&t) - offset;
  std::tm out{};
  gmtime_r(&utc, &out);
  std::array<char, 32> buf{};
  const std::size_t n = std::strftime(buf.data(), buf.size(), "%Y-%m-%dT%H:%M:%SZ", &out);
  return std::string(buf.data(), n);
}

std::string BidsScans(const std::vector<BidsScan>& scans) {
  std::string text = "filename\tacq_time\n";
  for (const BidsScan& s : scans) text += s.filename + "\t" + s.acq_time + "\n";
  return text;
}

}  // namespace velquor
