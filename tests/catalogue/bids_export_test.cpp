#include "catalogue/bids_export.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <nlohmann/json.hpp>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "catalogue/bids_text.h"
#include "catalogue/catalogue.h"
#include "catalogue/study_trials.h"
#include "files/temp_dir.h"
#include "files/trial_file_text.h"

namespace velquor {
namespace {

namespace fs = std::filesystem;
using testing::SavedTrial;
using testing::TempDir;

std::string ReadText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

std::vector<std::vector<std::string>> Table(const std::string& path) {
  std::vector<std::vector<std::string>> rows;
  std::istringstream in(ReadText(path));
  for (std::string line; std::getline(in, line);) {
    std::vector<std::string> fields;
    std::size_t at = 0;
    for (std::size_t tab; (tab = line.find('\t', at)) != std::string::npos; at = tab + 1) {
      fields.push_back(line.substr(at, tab - at));
    }
    fields.push_back(line.substr(at));
    rows.push_back(fields);
  }
  return rows;
}

const std::set<std::string> kTypes = {"ACCEL", "ANGACCEL", "GYRO", "JNTANG", "LATENCY",
                                      "MAGN",  "MISC",     "ORNT", "POS",    "VEL"};
const std::set<std::string> kAxes = {"x", "y", "z"};

// The fields a motion sidecar may hold: the general ones and a channel count of each type.
std::set<std::string> SidecarFields() {
  std::set<std::string> fields;
  std::istringstream in(
      "TaskName TaskDescription Instructions SamplingFrequency TrackingSystemName Manufacturer "
      "ManufacturersModelName SoftwareVersions DeviceSerialNumber MotionChannelCount "
      "TrackedPointsCount RecordingDuration RecordingType EpochLength SamplingFrequencyEffective "
      "SoftwareFilters MissingValues SubjectArtefactDescription");
  for (std::string f; in >> f;) fields.insert(f);
  for (const std::string& type : kTypes) fields.insert(type + "ChannelCount");
  return fields;
}

// What the motion extension asks of one run's files.
void CheckRun(const std::string& base, const SavedTrial& t, const std::string& task) {
  SCOPED_TRACE(base);
  const auto channels = Table(base + "_channels.tsv");
  ASSERT_EQ(channels.size(), 7u);
  const std::vector<std::string> required = {"name", "component", "type", "tracked_point", "units"};
  EXPECT_TRUE(std::equal(required.begin(), required.end(), channels[0].begin()));
  const auto frame_at = std::find(channels[0].begin(), channels[0].end(), "reference_frame");
  ASSERT_NE(frame_at, channels[0].end());
  const auto frame_column = static_cast<std::size_t>(frame_at - channels[0].begin());
  // Every frame a channel names is described, with its axes, in the channels' sidecar.
  const nlohmann::json frames =
      nlohmann::json::parse(ReadText(base + "_channels.json")).at("reference_frame").at("Levels");
  std::vector<std::string> names;
  for (std::size_t i = 1; i < channels.size(); ++i) {
    const auto& c = channels[i];
    ASSERT_EQ(c.size(), channels[0].size());
    names.push_back(c[0]);
    EXPECT_TRUE(kTypes.count(c[2])) << c[2];
    // Spatial types name their axis; the others have none.
    if (c[2] == "ORNT" || c[2] == "VEL") {
      EXPECT_TRUE(kAxes.count(c[1])) << c[0];
    } else {
      EXPECT_EQ(c[1], "n/a") << c[0];
    }
    EXPECT_FALSE(c[3].empty());
    EXPECT_FALSE(c[4].empty());
    const std::string& frame = c.at(frame_column);
    if (c[2] == "MISC") {
      EXPECT_EQ(frame, "n/a") << c[0];
    } else {
      ASSERT_TRUE(frames.contains(frame)) << c[0];
      EXPECT_EQ(frames.at(frame).at("SpatialAxes").get<std::string>().size(), 3u);
      EXPECT_TRUE(frames.at(frame).contains("RotationRule"));
    }
  }
  EXPECT_EQ(names, (std::vector<std::string>{"torque_left", "torque_right", "angle_left",
                                             "angle_right", "speed_left", "speed_right"}));

  const auto motion = Table(base + "_motion.tsv");
  ASSERT_EQ(motion.size(), static_cast<std::size_t>(t.facts.samples)) << "one row per sample";
  for (std::size_t i = 0; i < motion.size(); ++i) {
    ASSERT_EQ(motion[i].size(), 6u) << "row " << i + 1;
    EXPECT_EQ(std::stod(motion[i][0]), t.torque0[i]) << "row " << i + 1;
  }
  EXPECT_EQ(motion[0][4], "n/a");  // no speed at the first sample

  const nlohmann::json sidecar = nlohmann::json::parse(ReadText(base + "_motion.json"));
  // The sidecar holds the motion fields alone (the frame belongs to the channels' sidecar).
  const std::set<std::string> fields = SidecarFields();
  for (const auto& [key, value] : sidecar.items()) EXPECT_TRUE(fields.count(key)) << key;
  EXPECT_EQ(sidecar.at("TaskName"), task);
  EXPECT_EQ(sidecar.at("SamplingFrequency").get<double>(), 100.0);
  EXPECT_FALSE(sidecar.at("TrackingSystemName").get<std::string>().empty());
  EXPECT_EQ(sidecar.at("MotionChannelCount"), 6);

  const auto events = Table(base + "_events.tsv");
  ASSERT_FALSE(events.empty());
  EXPECT_EQ(events[0][0], "onset");
  EXPECT_EQ(events[0][1], "duration");
  std::size_t pushes = 0, markers = 0;
  double last = 0;
  for (std::size_t i = 1; i < events.size(); ++i) {
    const double onset = std::stod(events[i][0]);
    EXPECT_GE(onset, last) << "in onset order";
    last = onset;
    EXPECT_GE(std::stod(events[i][1]), 0.0);
    if (events[i][2] == "push") ++pushes;
    if (events[i][2] == "marker") {
      ++markers;
      EXPECT_EQ(events[i][5], "block 1");
      // The marker at sample 250 is on row 250, 2.49 s after the first sample.
      EXPECT_NEAR(onset, 2.49, 1e-9);
    }
  }
  EXPECT_EQ(pushes, t.pushes.wheels[0].pushes.size() + t.pushes.wheels[1].pushes.size());
  EXPECT_GT(pushes, 4u);
  EXPECT_EQ(markers, 1u);
}

TEST(BidsExport, EveryFileAsTheMotionExtensionAsks) {
  TempDir data, out;
  const auto saved = testing::SaveStudy(data.path());
  const std::string root = out / "ds";
  const Result<BidsExportNews> news = ExportBids({data.path(), root, {}, "1.2.3"});
  ASSERT_TRUE(news.ok()) << news.problem().Describe();
  EXPECT_EQ(news.value().trials, 7);
  ASSERT_EQ(news.value().notices.size(), 1u);
  EXPECT_NE(news.value().notices[0].what.find("left out"), std::string::npos);

  const nlohmann::json description =
      nlohmann::json::parse(ReadText(root + "/dataset_description.json"));
  EXPECT_EQ(description.at("BIDSVersion"), "1.9.0");
  EXPECT_FALSE(description.at("Name").get<std::string>().empty());
  EXPECT_EQ(ReadText(root + "/participants.tsv"), "participant_id\nsub-P01\nsub-P02\n");

  for (const auto& [key, t] : saved) {
    const std::string p = t.facts.who.participant, s = t.facts.who.session;
    const std::string run = key.substr(key.rfind('/') + 1);
    CheckRun(root + "/sub-" + p + "/ses-" + s + "/motion/sub-" + p + "_ses-" + s +
                 "_task-steady_tracksys-velquor_run-" + run,
             t, "steady");
  }
  const auto scans = Table(root + "/sub-P01/ses-2/sub-P01_ses-2_scans.tsv");
  ASSERT_EQ(scans.size(), 3u);
  EXPECT_EQ(scans[0], (std::vector<std::string>{"filename", "acq_time", "trial"}));
  EXPECT_EQ(scans[2][0], "motion/sub-P01_ses-2_task-steady_tracksys-velquor_run-2_motion.tsv");
  EXPECT_EQ(scans[2][2], saved.at("P01/2/2").facts.stem);
  // The columns of the events and scans beyond those of the standard are described.
  const nlohmann::json events = nlohmann::json::parse(ReadText(root + "/events.json"));
  for (const char* column : {"trial_type", "wheel", "push", "label"}) {
    EXPECT_TRUE(events.contains(column)) << column;
  }
  EXPECT_TRUE(nlohmann::json::parse(ReadText(root + "/scans.json")).contains("trial"));
  EXPECT_TRUE(fs::exists(root + "/README"));
  EXPECT_EQ(scans[1][1].size(), 20u) << scans[1][1];  // 2026-12-0DT01:00:00Z
  EXPECT_EQ(scans[1][1].back(), 'Z');
}

TEST(BidsExport, NeverReplacesAFileAndTakesOnlyTheParticipantsAsked) {
  TempDir data, out;
  testing::SaveStudy(data.path());
  const std::string root = out / "ds";
  const std::string mine = root +
                           "/sub-P02/ses-3/motion/"
                           "sub-P02_ses-3_task-steady_tracksys-velquor_run-1_events.tsv";
  fs::create_directories(fs::path(mine).parent_path());
  testing::WriteText(mine, "mine\n");
  const Result<BidsExportNews> refused = ExportBids({data.path(), root, {}, "1"});
  ASSERT_FALSE(refused.ok());
  EXPECT_EQ(refused.problem().file, mine);
  EXPECT_EQ(ReadText(mine), "mine\n");
  EXPECT_FALSE(fs::exists(root + "/participants.tsv")) << "nothing is written";
  EXPECT_FALSE(fs::exists(root + "/sub-P01"));

  const std::string other = out / "p1";
  const Result<BidsExportNews> p1 = ExportBids({data.path(), other, {"P01"}, "1"});
  ASSERT_TRUE(p1.ok()) << p1.problem().Describe();
  EXPECT_EQ(p1.value().trials, 4);
  EXPECT_FALSE(fs::exists(other + "/sub-P02"));
  EXPECT_EQ(ReadText(other + "/participants.tsv"), "participant_id\nsub-P01\n");
  // A second export into the same place replaces nothing.
  const std::string before = ReadText(other + "/sub-P01/ses-1/sub-P01_ses-1_scans.tsv");
  EXPECT_FALSE(ExportBids({data.path(), other, {"P01"}, "2"}).ok());
  EXPECT_EQ(ReadText(other + "/sub-P01/ses-1/sub-P01_ses-1_scans.tsv"), before);
  EXPECT_NE(ReadText(other + "/dataset_description.json").find("\"1\""), std::string::npos);
}

TEST(BidsExport, AnExportThatStopsPartWayLeavesNothingOfItself) {
  TempDir data, out;
  const auto saved = testing::SaveStudy(data.path());
  // The last trial to be exported (P02, session 3) has lost its per-sample file.
  const std::string lost = data / TrialCsvName(saved.at("P02/3/1").facts.stem);
  fs::remove(lost);
  // The folder the dataset goes into is the user's, with a file of theirs in it.
  const std::string root = out / "ds";
  fs::create_directories(root);
  testing::WriteText(root + "/notes.txt", "mine\n");
  const Result<BidsExportNews> news = ExportBids({data.path(), root, {}, "1"});
  ASSERT_FALSE(news.ok());
  EXPECT_EQ(news.problem().file, lost) << news.problem().Describe();
  EXPECT_NE(news.problem().what.find("took away the"), std::string::npos)
      << news.problem().Describe();
  std::vector<std::string> left;
  for (const auto& e : fs::recursive_directory_iterator(root)) left.push_back(e.path().string());
  EXPECT_EQ(left, std::vector<std::string>{root + "/notes.txt"});
  EXPECT_EQ(ReadText(root + "/notes.txt"), "mine\n");
}

TEST(BidsExport, AcquisitionTimeInUniversalTime) {
  struct Case {
    const char* started;
    const char* acq_time;
  };
  const std::vector<Case> cases = {
      {"2026-12-07T14:03:05+09:00", "2026-12-07T05:03:05Z"},
      {"2026-12-07T01:03:05+09:00", "2026-12-06T16:03:05Z"},
      {"2026-12-31T20:30:00-05:30", "2027-01-01T02:00:00Z"},
      {"2026-12-07T14:03:05", "n/a"},
      {"", "n/a"},
      {"2026-12-07T14:03:05+0x:00", "n/a"},
  };
  for (const Case& c : cases) EXPECT_EQ(BidsAcqTime(c.started), c.acq_time) << c.started;
}

}  // namespace
}  // namespace velquor
