// The trial of a run: every sample of its cycles joined and followed on a thread of its own,
// the pushes handed on as they become final, the trial's files, markers and a set length.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "analysis/push_forms.h"
#include "analysis/sim_trial.h"
#include "analysis/trial_pushes.h"
#include "daq/device_access.h"
#include "daq/sim_rig.h"
#include "files/csv_rows.h"
#include "files/temp_dir.h"
#include "files/trial_file_reader.h"
#include "session/measurement_session.h"
#include "support/fake_clock.h"
#include "workspace/workspace.h"

namespace velquor {
namespace {

bool Same(std::optional<double> a, std::optional<double> b) {
  if (a.has_value() != b.has_value()) return false;
  return !a || std::bit_cast<std::uint64_t>(*a) == std::bit_cast<std::uint64_t>(*b);
}

struct TrialHost : SessionHost {
  std::function<void(int)> on_finished;
  void CycleFinished(int cycle) override {
    if (on_finished) on_finished(cycle);
  }
  std::vector<TrialPushEvent> events;
  std::vector<TrialMarker> markers;
  std::vector<std::string> notices;
  std::optional<PushAnalysis> ended;
  std::optional<RunEnd> end;
  int saved = 0;
  void Notice(const std::string& text) override { notices.push_back(text); }
  void Analysed(const AnalysisOutcome&) override {}
  void InternalError(int, const std::string& what) override { ADD_FAILURE() << what; }
  void NumberAdvanced(int) override {}
  void SaveDone(const PairSaved&, const FileNaming&) override { ++saved; }
  void SaveFailed(const Problem& p, int) override { ADD_FAILURE() << p.Describe(); }
  void RunEnded(const RunEnd& e) override { end = e; }
  void TrialPush(const TrialPushEvent& e) override { events.push_back(e); }
  void MarkerPlaced(const TrialMarker& m) override { markers.push_back(m); }
  void TrialEnded(const PushAnalysis& a, const TrialFacts&) override { ended = a; }
};

// A run on the simulated rig under the fake clock, each cycle saved automatically.
struct RigRun {
  RigRun(double interval_ms, int data_num, double length_s) {
    (void)OpenAioCard(rig, ws->device, CardSettingTexts{});
    (void)OpenDioCard(rig, ws->device, CardSettingTexts{});
    ws->record.SampInterval = static_cast<float>(interval_ms);
    ws->record.DataNum = static_cast<float>(data_num);
    ws->record.MeasTime = static_cast<float>(interval_ms * data_num / 1000);
    ws->calibration = sim::RigCalibration();
    ws->naming.Auto = {dir.path(), "RUN", "12", "", "", ""};
    MakeFileNames(ws->naming, 0);
    settings.autoSave = true;
    settings.trialLengthS = length_s;
  }
  void Run() {
    ASSERT_TRUE(session.Start());
    while (session.Running()) {
      session.WaitForCycle(std::chrono::milliseconds(1));
      session.Drain();
      if (host.saved > 400 && !session.StopRequested()) {
        ADD_FAILURE() << "the run did not end by itself";
        session.Stop();
      }
    }
  }
  std::string Read(const std::string& name) const {
    std::ifstream in(dir / name, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }

  testing::TempDir dir;
  SimRig rig{7};
  testing::FakeClock clock;
  std::unique_ptr<Workspace> ws = Workspace::Make();
  SessionSettings settings;
  TrialHost host;
  SynchronousSaver saver;
  MeasurementSession session{
      rig,
      {ws->record, ws->device, ws->series, ws->kin, ws->strokes, ws->calibration, ws->naming},
      clock,
      settings,
      host,
      saver};
};

// The trial read back from its CSV's raw columns, and the marker column.
struct ReadBack {
  std::unique_ptr<TrialSeries> series;
  std::vector<std::pair<std::int64_t, int>> markers;  // sample, number
};

ReadBack ReadRawColumns(const std::string& text, double interval_ms) {
  ReadBack out{std::make_unique<TrialSeries>(interval_ms, sim::RigCalibration(), false), {}};
  std::istringstream in(text);
  std::string line;
  std::getline(in, line);
  EXPECT_EQ(line + "\n",
            "sample,t_s,volt0_V,volt1_V,encoder0,encoder1,torque0_Nm,torque1_Nm,"
            "angle0_deg,angle1_deg,speed0_m_per_s,speed1_m_per_s,power0_W,power1_W,"
            "marker\n");
  while (std::getline(in, line)) {
    const std::vector<std::string> f = testing::Fields(line);
    if (f.size() != 15) {
      ADD_FAILURE() << "row of " << f.size() << " fields: " << line;
      break;
    }
    const std::int64_t i = std::stoll(f[0]);
    EXPECT_EQ(i, out.series->Samples() + 1);
    out.series->Append(
        {static_cast<float>(std::stod(f[2])), static_cast<float>(std::stod(f[3]))},
        {static_cast<std::uint16_t>(std::stoi(f[4])), static_cast<std::uint16_t>(std::stoi(f[5]))});
    if (!f[14].empty()) out.markers.emplace_back(i, std::stoi(f[14]));
  }
  return out;
}

// On simulated runs at 1, 5 and 20 ms whose cycles cut through pushes, the pushes handed on
// while the run went are, figure by figure and bit for bit, those of the trial read back from
// its file and analysed afterwards; none is partial at a cycle boundary.
TEST(SessionTrial, LivePushesAreTheTrialReadBackFromItsFile) {
  struct Case {
    double interval_ms;
    int data_num;
    double length_s;
    std::vector<double> marks;
    std::vector<std::int64_t> marked;  // the samples the marks land on
  };
  const std::vector<Case> cases = {
      {1, 700, 30, {2.0, 7.4996}, {2000, 7500}},
      {5, 150, 60, {0.0024, 30.003}, {1, 6001}},
      {20, 40, 100, {55.01}, {2751}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.interval_ms);
    RigRun r(c.interval_ms, c.data_num, c.length_s);
    r.session.SetMarkerTimes(c.marks);
    r.Run();
    ASSERT_TRUE(r.host.end);
    EXPECT_FALSE(r.host.end->stopRequested);  // it ended by itself at its length
    const std::int64_t samples = TrialLengthSamples(c.length_s, c.interval_ms);
    const std::int64_t cycles = (samples + c.data_num - 1) / c.data_num;
    EXPECT_EQ(r.host.saved, cycles);
    const TrialFacts& facts = r.session.Trial();
    EXPECT_EQ(facts.samples, cycles * c.data_num);
    ASSERT_EQ(facts.cycles.size(), static_cast<std::size_t>(cycles));
    EXPECT_EQ(facts.cycles[1].stem, "RUN0000013");
    EXPECT_EQ(facts.cycles[1].first_sample, c.data_num + 1);

    const ReadBack back = ReadRawColumns(r.Read("RUN0000012_trial.csv"), c.interval_ms);
    ASSERT_EQ(back.series->Samples(), facts.samples);
    ASSERT_EQ(back.markers.size(), c.marked.size());
    for (std::size_t k = 0; k < c.marked.size(); ++k) {
      EXPECT_EQ(back.markers[k].first, c.marked[k]);
      EXPECT_EQ(back.markers[k].second, static_cast<int>(k) + 1);
    }
    const Result<PushAnalysis> after = AnalyseTrial(*back.series, PushParameters{});
    ASSERT_TRUE(after.ok());
    // The program's own reader gives the same trial.
    const Result<LoadedTrial> loaded =
        LoadTrialCsv((r.dir / "RUN0000012_trial.csv"), sim::RigCalibration(), false);
    ASSERT_TRUE(loaded.ok()) << loaded.problem().Describe();
    ASSERT_EQ(loaded.value().series->Samples(), facts.samples);
    EXPECT_EQ(loaded.value().markers.size(), c.marked.size());
    const Result<PushAnalysis> reread = AnalyseTrial(*loaded.value().series, PushParameters{});
    ASSERT_TRUE(reread.ok());
    EXPECT_EQ(PushCsv("t", reread.value()), PushCsv("t", after.value()));
    ASSERT_TRUE(r.host.ended);
    int across = 0;
    for (int w = 0; w < 2; ++w) {
      const WheelPushes& whole = after.value().wheels[static_cast<std::size_t>(w)];
      const WheelPushes& live = r.host.ended->wheels[static_cast<std::size_t>(w)];
      ASSERT_EQ(live.pushes.size(), whole.pushes.size());
      EXPECT_LE(whole.summary.partial, 2);  // only at the trial's first and last sample
      EXPECT_GT(whole.pushes.size(), 10u);
      for (std::size_t k = 0; k < whole.summary.figures.size(); ++k) {
        EXPECT_TRUE(Same(live.summary.figures[k].mean, whole.summary.figures[k].mean));
        EXPECT_TRUE(Same(live.summary.figures[k].sd, whole.summary.figures[k].sd));
      }
      ASSERT_EQ(live.curve.has_value(), whole.curve.has_value());
      if (whole.curve) {
        EXPECT_EQ(live.curve->mean, whole.curve->mean);
      }
      for (const Push& p : whole.pushes) {
        if ((p.first - 1) / c.data_num != (p.last - 1) / c.data_num) ++across;
      }
      // Every push was handed on once final and once more with its cycle figures (all but
      // the last), each time with the figures the whole trial gives it.
      int finals = 0, completed = 0;
      for (const TrialPushEvent& e : r.host.events) {
        if (e.wheel != w) continue;
        const Push& p = whole.pushes.at(static_cast<std::size_t>(e.push.number - 1));
        EXPECT_GE(e.sample_final, p.last);
        e.cycle_figures ? ++completed : ++finals;
        for (int f = 0; f < kPushFigureCount; ++f) {
          const auto figure = static_cast<PushFigure>(f);
          const bool to_next =
              figure == PushFigure::kCycleTime || figure == PushFigure::kRecoveryTime ||
              figure == PushFigure::kPushFraction || figure == PushFigure::kNegativeWork;
          if (to_next && !e.cycle_figures) continue;
          EXPECT_TRUE(Same(e.push.Figure(figure), p.Figure(figure)))
              << "wheel " << w << " push " << p.number << " figure " << f;
        }
      }
      EXPECT_EQ(finals, static_cast<int>(whole.pushes.size()));
      EXPECT_EQ(completed, static_cast<int>(whole.pushes.size()) - 1);
    }
    EXPECT_GT(across, 0);  // the cycles did cut through pushes

    const std::string json = r.Read("RUN0000012_trial.json");
    EXPECT_NE(json.find(R"("complete":true)"), std::string::npos);
    EXPECT_NE(json.find(R"("samples":)" + std::to_string(facts.samples)), std::string::npos);
    EXPECT_EQ(r.Read("RUN0000012_trial_pushes.csv"),
              PushCsv("RUN0000012_trial.csv", after.value()));
  }
}

// The fewest samples whose last is at or after the length, counted without dividing wrong.
TEST(SessionTrial, TrialLengthInSamples) {
  struct Case {
    double length_s, interval_ms;
    std::int64_t samples;
  };
  const std::vector<Case> cases = {
      {2.5, 1, 2500}, {0.3, 100, 3}, {0.0015, 1, 2}, {240, 5, 48000},
      {0, 1, 0},      {-1, 1, 0},    {1, 0, 0},      {std::nan(""), 1, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(TrialLengthSamples(c.length_s, c.interval_ms), c.samples)
        << c.length_s << " s at " << c.interval_ms << " ms";
  }
}

// A run stopped in its sixth cycle: the trial keeps every sample taken, the cycle abandoned
// included; a marker placed while it runs lands on the latest sample the trial holds; without
// Auto Save at its start no trial file is written. On the fake clock a cycle fills at once, so
// the next cycle may be whole in the trial before a chain runs and a marker after every cycle
// could find no sample newer than the last: the markers go after every other cycle.
TEST(SessionTrial, AStoppedRunKeepsEverySampleTakenAndItsMarkers) {
  RigRun r(5, 100, 0);
  r.settings.autoSave = false;
  std::vector<std::optional<TrialMarker>> placed;
  std::vector<int> after;
  r.host.on_finished = [&](int cycle) {
    if (cycle % 2 == 1) {
      placed.push_back(r.session.PlaceMarker("after cycle " + std::to_string(cycle)));
      after.push_back(cycle);
    }
    // Auto Save switched on during the run saves the cycles after it, but no trial file of
    // a trial whose first samples were not kept for one.
    if (cycle == 1) r.settings.autoSave = true;
    if (cycle == 5) r.session.Stop();
  };
  r.Run();
  ASSERT_EQ(placed.size(), 3u);
  for (std::size_t k = 0; k < placed.size(); ++k) {
    ASSERT_TRUE(placed[k]) << "after cycle " << after[k];
    EXPECT_EQ(placed[k]->number, static_cast<int>(k) + 1);
    // The cycle was in the trial whole before its chain ran.
    EXPECT_GE(placed[k]->sample, static_cast<std::int64_t>(after[k]) * 100);
  }
  const TrialFacts& facts = r.session.Trial();
  EXPECT_GE(facts.samples, 500);
  EXPECT_EQ(facts.samples, r.session.TrialSamples());
  ASSERT_EQ(facts.markers.size(), 3u);
  EXPECT_EQ(facts.markers[2].label, "after cycle 5");
  ASSERT_TRUE(r.host.ended);
  EXPECT_EQ(r.host.ended->samples, facts.samples);
  EXPECT_TRUE(r.session.LabelMarker(2, "seat adjusted"));
  EXPECT_EQ(r.session.Trial().markers.at(1).label, "seat adjusted");
  EXPECT_FALSE(r.session.LabelMarker(4, "none such"));
  EXPECT_EQ(r.host.saved, 4);
  for (const auto& e : std::filesystem::directory_iterator(r.dir.path())) {
    EXPECT_EQ(e.path().filename().string().find("_trial"), std::string::npos) << e.path();
  }
  EXPECT_FALSE(r.session.PlaceMarker());  // no run is going
}

}  // namespace
}  // namespace velquor
