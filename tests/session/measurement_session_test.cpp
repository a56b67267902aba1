// The run without a window: what is saved and under which number, how each way of ending a
// run leaves the record, the devices and the files, and the jobs that wait for a cycle.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "analysis/strokes.h"
#include "daq/device_access.h"
#include "files/temp_dir.h"
#include "session/measurement_session.h"
#include "support/fake_clock.h"
#include "support/scripted_driver.h"
#include "workspace/workspace.h"

namespace velquor {
namespace {

// Writes down what the session tells it, one line per event.
struct LogHost : SessionHost {
  std::vector<std::string> log;
  std::optional<RunEnd> end;
  void Notice(const std::string&) override {}
  void Analysed(const AnalysisOutcome& a) override {
    log.push_back("analysed " + std::to_string(a.cycle) + (a.Whole() ? "" : " failed"));
  }
  void InternalError(int, const std::string& what) override { log.push_back("error " + what); }
  void HandOver() override { log.push_back("hand-over"); }
  void NumberAdvanced(int flag) override { log.push_back("number " + std::to_string(flag)); }
  void SaveDone(const PairSaved& p, const FileNaming&) override {
    log.push_back("saved " + p.names.BaseName);
  }
  void SaveFailed(const Problem&, int cycle) override {
    log.push_back("save failed " + std::to_string(cycle));
  }
  void CycleFinished(int cycle) override {
    if (on_finished) on_finished(cycle);
  }
  std::function<void(int)> on_finished;
  void RunEnded(const RunEnd& e) override {
    end = e;
    log.push_back("ended");
  }
  int count(const std::string& prefix) const {
    return static_cast<int>(std::count_if(
        log.begin(), log.end(), [&](const std::string& l) { return l.rfind(prefix, 0) == 0; }));
  }
};

// Keeps every save unwritten until the test hands its outcome back.
struct HeldSaver : SessionSaver {
  std::vector<Done> held;
  void Save(const SaveOrder&, Done done) override { held.push_back(std::move(done)); }
  void WriteTrial(TrialStep, TrialDone) override {}
  void Follow(Job, TrialDone) override {}
};

// A session on the scripted driver and the fake clock: 50 samples a cycle at 1 ms, automatic
// names RUN from 1 and manual ones M from 5, both in the test's directory.
class Rig {
 public:
  explicit Rig(bool hold_saves = false) : hold_saves_(hold_saves) {
    (void)OpenAioCard(driver, ws->device, CardSettingTexts{});
    (void)OpenDioCard(driver, ws->device, CardSettingTexts{});
    ws->record.SampInterval = 1;
    ws->record.DataNum = 50;
    ws->record.MeasTime = 0.05;
    ws->naming.Auto = {dir.path(), "RUN", "1", "", "", ""};
    ws->naming.Manual = {dir.path(), "M", "5", "", "", ""};
    MakeFileNames(ws->naming, 0);
    settings.analysis.strokes = ReadStrokeConditions("1", "2", JudgeChannel::kAuto);
  }
  // Starts and drains until the run has ended; `each` runs on this thread between drains.
  void Run(const std::function<void()>& each = {}) {
    ASSERT_TRUE(session.Start());
    while (session.Running()) {
      session.WaitForCycle(std::chrono::milliseconds(1));
      if (each) each();
      session.Drain();
      if (host.count("analysed") > 8 && !session.StopRequested()) {
        ADD_FAILURE() << "the run did not end by itself";
        session.Stop();
      }
    }
  }
  bool Saved(const std::string& stem) const {
    return std::filesystem::exists(dir / (stem + "_dat.csv")) &&
           std::filesystem::exists(dir / (stem + "_csv.csv"));
  }
  int Calls(const std::string& call) const {
    return static_cast<int>(std::count(driver.calls.begin(), driver.calls.end(), call));
  }

  bool hold_saves_;
  testing::TempDir dir;
  testing::ScriptedDriver driver;
  testing::FakeClock clock;
  std::unique_ptr<Workspace> ws = Workspace::Make();
  SessionSettings settings;
  LogHost host;
  SynchronousSaver saver;
  HeldSaver held;
  MeasurementSession session{
      driver,
      {ws->record, ws->device, ws->series, ws->kin, ws->strokes, ws->calibration, ws->naming},
      clock,
      settings,
      host,
      hold_saves_ ? static_cast<SessionSaver&>(held) : saver};
};

// Every cycle is saved under the next free number until a read fails in the fourth: that
// cycle is neither analysed nor saved, and the devices are closed only when the card is gone.
TEST(MeasurementSession, SavesEveryCycleUntilAReadFails) {
  struct Case {
    std::int32_t code;
    bool closed;
  };
  for (const Case c : {Case{daq_code::kDeviceGone, true}, Case{daq_code::kReadFailed, false}}) {
    SCOPED_TRACE(c.code);
    Rig r;
    std::ofstream(r.dir / "RUN0000002_dat.csv") << "earlier";  // passed over, never replaced
    r.settings.autoSave = true;
    r.driver.read_code = c.code;
    r.driver.good_reads = 170;
    r.Run();

    EXPECT_EQ(r.host.count("analysed"), 3);
    EXPECT_EQ(r.host.count("number 0"), 3);
    for (const char* stem : {"RUN0000001", "RUN0000003", "RUN0000004"}) EXPECT_TRUE(r.Saved(stem));
    EXPECT_FALSE(std::filesystem::exists(r.dir / "RUN0000002_csv.csv"));
    EXPECT_FALSE(std::filesystem::exists(r.dir / "RUN0000005_dat.csv"));
    EXPECT_EQ(r.ws->naming.Auto.Org, "5");
    ASSERT_TRUE(r.host.end && r.host.end->fault);
    EXPECT_EQ(r.host.end->fault->cycle, 4);
    EXPECT_EQ(r.host.end->fault->sample, 21);
    EXPECT_EQ(r.host.end->aioClosed.has_value(), c.closed);
    EXPECT_EQ(r.host.end->dioClosed.has_value(), c.closed);
    EXPECT_EQ(r.Calls("AioClose 11"), c.closed ? 1 : 0);
    EXPECT_EQ(r.Calls("DioClose 22"), c.closed ? 1 : 0);
    EXPECT_FALSE(r.ws->device.measuring);
    EXPECT_FALSE(r.session.Running());
  }
}

// Manual saving hands the first cycle over and ends the run; the manual number advances,
// and an automatic save of the same cycle goes first.
TEST(MeasurementSession, ManualSavingHandsTheFirstCycleOver) {
  for (const bool automatic : {false, true}) {
    SCOPED_TRACE(automatic);
    Rig r;
    r.settings.autoSave = automatic;
    r.settings.manualSave = true;
    r.Run();

    std::vector<std::string> expected{"analysed 1"};
    if (automatic) expected.insert(expected.end(), {"saved RUN0000001", "number 0"});
    expected.insert(expected.end(), {"hand-over", "number 1", "ended"});
    EXPECT_EQ(r.host.log, expected);
    EXPECT_EQ(r.ws->record.SaveFlag, 1);
    EXPECT_EQ(r.ws->naming.Manual.Org, "6");
    EXPECT_EQ(r.ws->naming.Auto.Org, automatic ? "2" : "1");
    EXPECT_FALSE(r.session.WhyNotSaved());  // the cycle is there to be saved
    EXPECT_TRUE(r.host.end->stopRequested);
  }
}

// A save that fails ends the run after its cycle: the number stays, and the measurement
// stays in the record, whole and ready to be saved by hand.
TEST(MeasurementSession, AFailedSaveEndsTheRunAndKeepsTheMeasurement) {
  Rig r;
  r.ws->naming.Auto.Dir = r.dir / "nowhere";
  r.settings.autoSave = true;
  r.Run();

  EXPECT_EQ(r.host.log, (std::vector<std::string>{"analysed 1", "save failed 1", "ended"}));
  EXPECT_EQ(r.ws->naming.Auto.Org, "1");
  EXPECT_EQ(r.ws->record.SampleNo, 50);
  EXPECT_FALSE(r.session.WhyNotSaved());
  EXPECT_TRUE(r.session.HasAnalysedRecord());
  EXPECT_FALSE(r.host.end->fault);
}

// The next cycle waits while the save of the one before is written, so a save that fails
// leaves that cycle in the record for saving by hand.
TEST(MeasurementSession, ACycleWaitsWhileTheSaveBeforeItIsWritten) {
  Rig r(true);
  r.settings.autoSave = true;
  ASSERT_TRUE(r.session.Start());
  // The second cycle is finished once the third is being sampled.
  std::atomic<int> sampling{0};
  r.clock.on_sleep = [&] {
    if (const SampleBlock* b = r.session.Engine().Filling()) sampling = b->cycle;
  };
  for (int k = 0; k < 10000 && sampling < 3; ++k) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
    r.session.Drain();
  }
  ASSERT_GE(sampling, 3);
  r.session.Drain();
  ASSERT_EQ(r.held.held.size(), 1u);
  EXPECT_EQ(r.host.log, std::vector<std::string>{"analysed 1"});
  r.held.held.front()(Result<PairSaved>(Problem{"RUN0000001_csv.csv", 0, 0, "disk full"}),
                      r.ws->naming);
  while (r.session.Running()) {
    r.session.WaitForCycle(std::chrono::milliseconds(1));
    r.session.Drain();
  }
  EXPECT_EQ(r.host.log, (std::vector<std::string>{"analysed 1", "save failed 1", "ended"}));
  EXPECT_EQ(r.host.end->cycles, 1);
}

// Before any cycle nothing may be saved; a record that cannot be analysed ends the run
// unsaved, and the save gate refuses it although a whole cycle was analysed before.
TEST(MeasurementSession, TheSaveGateRefusesWhatWasNotAnalysedWhole) {
  Rig r;
  EXPECT_NE(r.session.WhyNotSaved().value_or("").find("nothing has been measured yet"),
            std::string::npos);
  r.settings.manualSave = true;  // one cycle, then the run ends
  r.Run();
  EXPECT_FALSE(r.session.WhyNotSaved());
  r.ws->record.MeasTime = 0;  // the analysis refuses a sampling time of 0
  r.settings.autoSave = true;
  r.settings.manualSave = false;
  r.host.log.clear();
  r.Run();

  EXPECT_EQ(r.host.log, (std::vector<std::string>{"analysed 1 failed", "ended"}));
  EXPECT_FALSE(r.Saved("RUN0000001"));
  EXPECT_NE(r.session.WhyNotSaved().value_or("").find("could not be analysed"), std::string::npos);
  EXPECT_FALSE(r.session.HasAnalysedRecord());
}

// Stop while a cycle is sampled: the cycles before it stay saved, the one under way is
// neither analysed nor saved, and the samples it took stay counted.
TEST(MeasurementSession, StopAbandonsTheCycleBeingSampled) {
  Rig r;
  r.settings.autoSave = true;
  std::atomic<bool> reached{false}, released{false};
  // The acquisition thread waits at sample 20 of cycle 2 until Stop has been asked for.
  r.clock.on_sleep = [&] {
    const SampleBlock* b = r.session.Engine().Filling();
    if (b == nullptr || b->cycle != 2 || r.session.SampleNo() < 20 || released) return;
    reached = true;
    while (!released) std::this_thread::yield();
  };
  r.Run([&] {
    if (!reached || released) return;
    r.session.Drain();
    r.session.Stop();
    released = true;
  });

  EXPECT_EQ(r.host.count("analysed"), 1);
  EXPECT_TRUE(r.Saved("RUN0000001"));
  EXPECT_FALSE(r.Saved("RUN0000002"));
  EXPECT_EQ(r.session.SampleNo(), 20);
  EXPECT_TRUE(r.host.end->stopRequested);
  EXPECT_FALSE(r.host.end->fault);
  EXPECT_EQ(r.Calls("AioClose 11"), 0);
}

// A job that would hold up a cycle waits for the next cycle's chain to end, or for the end
// of the run; without a run it runs at once.
TEST(MeasurementSession, AJobWaitsUntilTheChainHasEnded) {
  Rig r;
  r.settings.autoSave = true;
  r.session.RunBetweenCycles([&] { r.host.log.push_back("job at once"); });
  ASSERT_EQ(r.host.log.size(), 1u);
  r.driver.read_code = daq_code::kReadFailed;
  r.driver.good_reads = 120;
  ASSERT_TRUE(r.session.Start());
  r.session.RunBetweenCycles([&] { r.host.log.push_back("job 1"); });
  // Asked for once the second cycle's chain is over: the run ends before another one.
  r.host.on_finished = [&](int cycle) {
    if (cycle == 2) r.session.RunBetweenCycles([&] { r.host.log.push_back("job 2"); });
  };
  while (r.session.Running()) {
    r.session.WaitForCycle(std::chrono::milliseconds(1));
    r.session.Drain();
  }
  const std::vector<std::string> expected{
      "job at once", "analysed 1",       "saved RUN0000001", "number 0", "job 1",
      "analysed 2",  "saved RUN0000002", "number 0",         "ended",    "job 2"};
  EXPECT_EQ(r.host.log, expected);
}

}  // namespace
}  // namespace velquor
