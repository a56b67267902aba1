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
  const char* reference_frame;
  const char* description;
};

// Angles and speeds are in the wheel's own frame (kWheelFrame); torque is in none.
constexpr std::array<Channel, 6> kChannels = {{
    {"torque_left", "n/a", "MISC", "LeftWheel", "N.m", "n/a",
     "propulsion torque on the left handrim"},
    {"torque_right", "n/a", "MISC", "RightWheel", "N.m", "n/a",
     "propulsion torque on the right handrim"},
    {"angle_left", "y", "ORNT", "LeftWheel", "deg", "wheel", "left wheel angle about its axle"},
    {"angle_right", "y", "ORNT", "RightWheel", "deg", "wheel", "right wheel angle about its axle"},
    {"speed_left", "x", "VEL", "LeftWheel", "m/s", "wheel", "left wheel rim speed"},
    {"speed_right", "x", "VEL", "RightWheel", "m/s", "wheel", "right wheel rim speed"},
}};

// A column of a table described in its sidecar.
std::string Described(const std::string& long_name, const std::string& description) {
  return JsonObject().AddText("LongName", long_name).AddText("Description", description).str();
}

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
  std::string text = "name\tcomponent\ttype\ttracked_point\tunits\treference_frame\tdescription\n";
  for (const Channel& c : kChannels) {
    text += std::string(c.name) + "\t" + c.component + "\t" + c.type + "\t" + c.tracked_point +
            "\t" + c.units + "\t" + c.reference_frame + "\t" + c.description + "\n";
  }
  return text;
}

std::string BidsChannelsSidecar() {
  // x forward along the wheel's travel, y along its axle to the chair's left, z up.
  const std::string wheel = JsonObject()
                                .AddText("Description",
                                         "the wheel's own frame: x forward along its travel, y "
                                         "along its axle to the chair's left, z up")
                                .AddText("SpatialAxes", "ALS")
                                .AddText("RotationRule", "right-hand")
                                .AddText("RotationOrder", "ZXY")
                                .str();
  return JsonObject()
             .Add("reference_frame",
                  JsonObject()
                      .AddText("LongName", "reference frame")
                      .AddText("Description", "the frame a channel's values are given in")
                      .Add("Levels", JsonObject().Add("wheel", wheel).str())
                      .str())
             .str() +
         "\n";
}

std::string BidsEventsSidecar() {
  return JsonObject()
             .Add("trial_type",
                  JsonObject()
                      .AddText("LongName", "event type")
                      .AddText("Description", "what the event is")
                      .Add("Levels",
                           JsonObject()
                               .AddText("push", "a push on one wheel, from its onset to its end")
                               .AddText("marker", "a marker the operator placed during the trial")
                               .str())
                      .str())
             .Add("wheel", Described("wheel", "the wheel pushed: left or right"))
             .Add("push", Described("push number", "the push's number on its wheel, from 1"))
             .Add("label", Described("marker label", "the text the operator gave the marker"))
             .str() +
         "\n";
}

std::string BidsScansSidecar() {
  return JsonObject()
             .Add("trial", Described("trial",
                                     "the stem of the trial's files where it was measured "
                                     "(STEM_trial.csv, STEM_trial.json)"))
             .str() +
         "\n";
}

std::string BidsReadme(const std::string& version) {
  return "Wheelchair propulsion trials measured on a test rig and exported by Velquor " + version +
         ".\n\nEach run holds one trial: the torque on each handrim, each wheel's angle about its "
         "axle and its rim speed, one row per sample (motion), with the pushes of each wheel and "
         "the operator's markers as events. The scans table of a session names the trial each "
         "run was exported from.\n";
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
  std::string text = "filename\tacq_time\ttrial\n";
  for (const BidsScan& s : scans) {
    text += s.filename + "\t" + s.acq_time + "\t" + Cell(s.trial) + "\n";
  }
  return text;
}

}  // namespace velquor
