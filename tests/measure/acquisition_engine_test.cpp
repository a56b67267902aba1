#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "measure/acquisition_engine.h"
#include "measure/cycle_handoff.h"
#include "support/fake_clock.h"
#include "support/scripted_driver.h"

namespace velquor {
namespace {

using testing::FakeClock;
using testing::kMs;

// Port byte 0 counts the reads, and each read notes the clock. Read `fail_at` fails: its
// analog or its port half, with a code or by throwing. With a card interval the card paces
// the reads until they are stopped: scan k is made k card intervals after the start and
// handed over `deliver_lag_ns` later, `bunch` scans at a time (when the last of them is
// made); read `hold_at` comes late, and each port read takes `port_delay_ns`.
class CountingDriver : public testing::ScriptedDriver {
 public:
  explicit CountingDriver(FakeClock* clock = nullptr) : clock_(clock) {}
  std::vector<std::int64_t> read_at;
  std::size_t fail_at = 0;
  bool fail_analog = true;
  std::int32_t fail_code = 0;  // 0: the read throws
  std::int64_t card_interval_ns = 0, paced_from = 0, hold_ns = 0;
  std::int64_t bunch = 1, deliver_lag_ns = 0, port_delay_ns = 0;
  std::size_t hold_at = 0;
  bool paced = false;
  int stopped = 0;
  bool StartPacedReads(double) override {
    if (card_interval_ns == 0) return false;
    paced_from = clock_->now;
    paced = true;
    // The command is known to run when its first scan has been handed over.
    clock_->now = paced_from + bunch * card_interval_ns + deliver_lag_ns;
    return true;
  }
  void StopPacedReads() override {
    paced = false;
    ++stopped;
  }
  std::int32_t AioInp(std::int32_t id, AioRequest& req) override {
    if (fail_analog && read_at.size() + 1 == fail_at) return Fail();
    if (paced) {
      const auto k = static_cast<std::int64_t>(read_at.size() + 1);
      const std::int64_t last_of_bunch = (k + bunch - 1) / bunch * bunch;
      clock_->now =
          std::max(clock_->now, paced_from + last_of_bunch * card_interval_ns + deliver_lag_ns);
      if (read_at.size() + 1 == hold_at) clock_->now += hold_ns;  // woken late
    }
    return ScriptedDriver::AioInp(id, req);
  }
  std::int32_t DioInp(std::int32_t id, DioRequest& req) override {
    if (!fail_analog && read_at.size() + 1 == fail_at) return Fail();
    if (clock_ != nullptr) clock_->now += port_delay_ns;
    ports[0] = static_cast<std::uint8_t>(read_at.size() + 1);
    read_at.push_back(clock_ != nullptr ? clock_->now : 0);
    return ScriptedDriver::DioInp(id, req);
  }

 private:
  std::int32_t Fail() {
    if (fail_code == 0) throw std::runtime_error("card removed");
    return fail_code;
  }
  FakeClock* clock_;
};

struct Bench {
  FakeClock clock;
  CountingDriver driver{&clock};
  DeviceState dev;
  std::unique_ptr<MeasurementRecord> rec = std::make_unique<MeasurementRecord>();
  AcquisitionEngine engine{driver, dev, clock};
  std::vector<CycleTiming> cycles;
  std::int64_t start = 0;
  std::int64_t busy_until_ns = 0;  // the consumer takes no cycle before this moment of the run
  Bench() {
    dev.AioReq = {&dev.AiData, &dev.ChannelList, 2};
    dev.DioReq = {&dev.PortList, 3, &dev.DioData};
  }
  // Runs with the test's consumer: the chain notes each cycle and goes on while `go_on`.
  void Run(double interval, int n, std::function<bool(int)> go_on,
           std::function<void()> each_sleep = {}) {
    rec->SampInterval = interval;
    rec->DataNum = static_cast<float>(n);
    start = clock.now + 1000;  // the engine looks at the clock once before the first tick
    clock.on_sleep = [this, go_on, each_sleep] {
      if (each_sleep) each_sleep();
      if (clock.now - start < busy_until_ns) return;
      HandleFinishedCycles(engine, *rec, [&](const CycleTiming& t) {
        cycles.push_back(t);
        return go_on(static_cast<int>(cycles.size()));
      });
    };
    engine.RunHere(interval, n);
  }
  std::vector<std::int64_t> ReadMs() const {
    std::vector<std::int64_t> ms;
    for (std::int64_t t : driver.read_at) ms.push_back((t - start + kMs / 2) / kMs);
    return ms;
  }
};

TEST(AcquisitionEngine, SamplesOnTheTicksAndCyclesFollowWithoutAGap) {
  Bench b;
  b.Run(20, 5, [](int done) { return done < 2; });
  EXPECT_EQ(b.ReadMs(), (std::vector<std::int64_t>{20, 40, 60, 80, 100, 120, 140, 160, 180, 200}));
  ASSERT_EQ(b.cycles.size(), 2u);
  for (const CycleTiming& t : b.cycles) {
    EXPECT_EQ(t.samples, 5);
    EXPECT_EQ(t.late, 0);
    EXPECT_EQ(t.gap, 0);
    EXPECT_LT(t.max_ms, 0.01);
  }
  // The chain ended the run after the second cycle (as a failed save does): the record holds
  // that cycle (reads 6..10), encoder counts formed; the third, under way, was abandoned
  // before its first sample.
  for (int i = 1; i <= 5; ++i) EXPECT_EQ(b.rec->Encoder(0, i), static_cast<float>(5 + i)) << i;
  EXPECT_FALSE(b.engine.Running());
  EXPECT_EQ(b.clock.lowered, 1);  // the priority is given back at the end
}

TEST(AcquisitionEngine, StopsBeforeAnySample) {
  for (int k = 1; k <= 5; ++k) {
    SCOPED_TRACE(k);
    Bench b;
    b.Run(
        10, 5, [](int) { return true; },
        [&b, k] {
          if (b.engine.SampleNo() == k - 1) b.engine.RequestStop();
        });
    EXPECT_EQ(b.driver.read_at.size(), static_cast<std::size_t>(k - 1));
    EXPECT_TRUE(b.cycles.empty());
    EXPECT_EQ(b.engine.SampleNo(), k - 1);
  }
}

TEST(AcquisitionEngine, ALateTickIsTakenLateNotDroppedAndTheLampFollows) {
  Bench b;
  std::vector<bool> behind;
  b.Run(
      10, 8, [](int) { return false; },
      [&b, &behind] {
        if (b.engine.SampleNo() == 3 && b.driver.read_at.size() == 3) b.clock.now += 37 * kMs;
        behind.push_back(b.engine.CatchingUp());
      });
  // Samples 4 to 7 were due while the thread was held up: taken at once, one after another.
  const auto ms = b.ReadMs();
  ASSERT_EQ(ms.size(), 8u);
  EXPECT_EQ(ms[3], 77);
  EXPECT_EQ(ms[6], 77);
  EXPECT_EQ(ms[7], 80);
  ASSERT_EQ(b.cycles.size(), 1u);
  EXPECT_EQ(b.cycles[0].late, 4);
  EXPECT_NEAR(b.cycles[0].max_ms, 36.85, 0.01);
  EXPECT_EQ(LateSamplesNotice(b.cycles[0]), "4 samples late, worst 36.9 ms");
  // Yellow after the samples taken behind their ticks, green again after the next wait.
  EXPECT_TRUE(std::find(behind.begin(), behind.end(), true) != behind.end());
  EXPECT_FALSE(behind.back());
  EXPECT_EQ(b.engine.SamplesBehind(), 3);  // samples 5, 6 and 7 came without a wait
}

TEST(AcquisitionEngine, ACycleWithNoFreeBlockStartsLaterAndCountsTheGap) {
  Bench b;
  b.busy_until_ns = 100 * kMs;  // both blocks fill and the engine waits for one
  b.Run(10, 3, [](int done) { return done < 3; });
  ASSERT_EQ(b.cycles.size(), 3u);
  EXPECT_EQ(b.cycles[0].gap, 0);
  EXPECT_EQ(b.cycles[1].gap, 0);
  EXPECT_EQ(b.cycles[2].gap, 3);  // ticks 70, 80 and 90 passed with no block to fill
  EXPECT_EQ(b.cycles[2].late, 0);
  EXPECT_EQ(b.ReadMs()[6], 100);
}

TEST(AcquisitionEngine, LowerDataNumEndsTheCycleAndHalfAMillisecondNeverSamples) {
  Bench b;
  b.Run(
      5, 100, [](int) { return false; },
      [&b] {
        if (b.engine.SampleNo() == 3) b.engine.SetDataNum(2);
      });
  ASSERT_EQ(b.cycles.size(), 1u);
  EXPECT_EQ(b.cycles[0].samples, 3);

  Bench idle;
  int sleeps = 0;
  idle.Run(
      0.5, 10, [](int) { return true; },
      [&] {
        if (++sleeps == 50) idle.engine.RequestStop();
      });
  EXPECT_TRUE(idle.driver.read_at.empty());
}

TEST(AcquisitionEngine, NoPriorityIsNotedAndAThreadBehindByACycleGivesItUp) {
  Bench refused;
  refused.clock.grant = false;
  refused.Run(10, 2, [](int) { return false; });
  const auto notes = refused.engine.TakeNotices();
  ASSERT_EQ(notes.size(), 1u);
  EXPECT_EQ(notes[0],
            "Sampling runs at normal priority: real-time priority was not granted (Operation not "
            "permitted)");
  EXPECT_EQ(refused.clock.lowered, 0);

  Bench behind;
  behind.Run(
      10, 4, [](int) { return false; },
      [&behind] {
        if (behind.driver.read_at.size() == 1) behind.clock.now += 60 * kMs;
      });
  EXPECT_EQ(behind.engine.TakeNotices(),
            std::vector<std::string>{
                "Sampling fell more than a cycle behind and goes on at normal priority"});
  EXPECT_EQ(behind.clock.lowered, 1);
}

// A read that fails ends the run at that sample: the cycles before it were handed over and
// stay in the record, the cycle it fell in is never handed over, and the fault says where.
TEST(AcquisitionEngine, AFailedReadEndsTheRunAtThatSample) {
  struct Row {
    std::size_t fail_at;
    bool analog;
    std::int32_t code;
    int cycles_handed_over;
    const char* notice;
  };
  const Row rows[] = {
      {8, true, daq_code::kReadFailed, 1,
       "Sampling stopped at sample 3 of cycle 2: the A/D device could not be read (AioInp "
       "failed with code 714h: scripted failure); the samples of this cycle are not analysed "
       "or saved"},
      {6, false, daq_code::kDeviceGone, 1,
       "Sampling stopped at sample 1 of cycle 2: the DIO device could not be read (DioInp "
       "failed with code 71Ah: scripted failure); the samples of this cycle are not analysed "
       "or saved; the card is gone (unplugged, or its driver detached)"},
      {2, true, 0, 0,
       "Sampling stopped at sample 2 of cycle 1: the A/D device could not be read (the device "
       "read threw: card removed); the samples of this cycle are not analysed or saved"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.fail_at);
    Bench b;
    b.driver.fail_at = row.fail_at;
    b.driver.fail_analog = row.analog;
    b.driver.fail_code = row.code;
    b.Run(10, 5, [](int) { return true; });
    EXPECT_FALSE(b.engine.Running());
    EXPECT_FALSE(b.engine.StopRequested());  // it ended by itself
    EXPECT_EQ(b.cycles.size(), static_cast<std::size_t>(row.cycles_handed_over));
    EXPECT_EQ(b.driver.read_at.size(), row.fail_at - 1);  // no read after the failed one
    const auto fault = b.engine.Fault();
    ASSERT_TRUE(fault.has_value());
    EXPECT_EQ(fault->Describe(), row.notice);
    EXPECT_EQ(fault->DeviceGone(), row.code == daq_code::kDeviceGone);
    // Nothing is left to hand over: the interrupted cycle went back unfinished.
    EXPECT_EQ(b.engine.TakeFinished(), nullptr);
    if (row.cycles_handed_over == 1) {
      for (int i = 1; i <= 5; ++i) EXPECT_EQ(b.rec->Encoder(0, i), static_cast<float>(i)) << i;
    }
  }
}

// A card whose clock runs 0.1 % slow (twenty times a poor crystal) paces the reads: over six
// seconds the clocks drift 6 ms apart, yet no sample is late; a thread held up 36 ms finds
// the scans of four ticks waiting, and those count as late.
TEST(AcquisitionEngine, ACardPacedRunFollowsTheCardsClock) {
  Bench b;
  b.driver.card_interval_ns = 10'010'000;
  b.driver.hold_at = 350;
  b.driver.hold_ns = 36 * kMs;
  b.Run(10, 200, [](int done) { return done < 3; });
  ASSERT_EQ(b.cycles.size(), 3u);
  EXPECT_EQ(b.cycles[0].late, 0);
  EXPECT_EQ(b.cycles[1].late, 4);
  EXPECT_NEAR(b.cycles[1].max_ms, 36.0, 0.5);
  EXPECT_EQ(b.cycles[2].late, 0);
  EXPECT_LT(b.cycles[2].max_ms, 0.5);  // the drift of two windows at most
  for (const CycleTiming& t : b.cycles) EXPECT_EQ(t.gap, 0);
}

// Each port read is measured against its own scan: scan k at the command's start + k card
// intervals. A steady lag (ports read slowly, scans handed over late) stays in the figures
// however long the run; a card running fast moves the ticks earlier; scans handed over in
// bunches leave the ports behind their scans, so the card's pacing ends after that cycle.
TEST(AcquisitionEngine, PortsAreMeasuredAgainstTheirScansAndBunchedScansEndThePacing) {
  struct Row {
    const char* name;
    double interval;  // ms
    std::int64_t card_interval_ns, bunch, deliver_lag_ns, port_delay_ns;
    std::vector<bool> paced;  // of each cycle
    int late_first, late_last;
    double port_p50_last;  // ms, of the last cycle
    const char* notice;    // the engine's, or empty
  };
  const std::vector<Row> rows = {
      {"one scan at a time", 10, 10 * kMs, 1, 0, 0, {true, true, true}, 0, 0, 0.0, ""},
      {"a slow port read", 10, 10 * kMs, 1, 0, 2 * kMs, {true, true, true}, 0, 0, 2.0, ""},
      {"scans handed over late", 10, 10 * kMs, 1, 2 * kMs, 0, {true, true, true}, 0, 0, 2.0, ""},
      {"ports over half an interval late",
       10,
       10 * kMs,
       1,
       0,
       6 * kMs,
       {true, true, true},
       200,
       200,
       6.0,
       ""},
      {"a card running 0.1 % fast", 10, 9'990'000, 1, 0, 0, {true, true, true}, 0, 0, 0.0, ""},
      {"eight scans at a time",
       5,
       5 * kMs,
       8,
       0,
       0,
       {true, false, false},
       175,
       0,
       0.0,
       "cycle 1: the card delivered 8 scans at a time; the ports could not be read with their "
       "scans; reading sample by sample"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    Bench b;
    b.driver.card_interval_ns = r.card_interval_ns;
    b.driver.bunch = r.bunch;
    b.driver.deliver_lag_ns = r.deliver_lag_ns;
    b.driver.port_delay_ns = r.port_delay_ns;
    b.Run(r.interval, 200, [](int done) { return done < 3; });
    ASSERT_EQ(b.cycles.size(), 3u);
    for (std::size_t c = 0; c < 3; ++c) {
      EXPECT_EQ(b.cycles[c].paced, r.paced[c]) << "cycle " << c + 1;
      // Only a cycle paced by the card has a port lag to report.
      EXPECT_EQ(TimingLine(b.cycles[c]).find(", port lag p50 ") != std::string::npos, r.paced[c]);
      EXPECT_EQ(b.cycles[c].gap, 0) << "cycle " << c + 1;
    }
    EXPECT_EQ(b.cycles.front().late, r.late_first);
    EXPECT_EQ(b.cycles.back().late, r.late_last);
    if (r.paced.back()) {
      // Between two moves of the ticks a drifting card is off by a window's drift at most.
      EXPECT_NEAR(b.cycles.back().port_p50_ms, r.port_p50_last, 0.2);
    }
    const std::vector<std::string> notes = b.engine.TakeNotices();
    EXPECT_EQ(b.driver.stopped, 1);  // at the end of the pacing, once
    if (*r.notice != 0) {
      EXPECT_EQ(notes, std::vector<std::string>{r.notice});
    } else {
      EXPECT_TRUE(notes.empty()) << notes.front();
    }
  }
}

// On its own thread and the system clock: a Stop while the chain of the first cycle runs
// lets that chain finish; cycles finished meanwhile are not handled, the record keeps the
// first.
TEST(AcquisitionEngine, StopWhileTheChainRunsOnTheRealThread) {
  SystemPacingClock clock;
  CountingDriver driver;
  DeviceState dev;
  dev.AioReq = {&dev.AiData, &dev.ChannelList, 2};
  dev.DioReq = {&dev.PortList, 3, &dev.DioData};
  auto rec = std::make_unique<MeasurementRecord>();
  rec->DataNum = 3;
  AcquisitionEngine engine(driver, dev, clock);
  ASSERT_TRUE(engine.Start(1, 3));
  EXPECT_FALSE(engine.Start(1, 3));  // one run at a time
  int handled = 0;
  bool chain_done = false;
  while (engine.Running() || handled == 0) {
    handled += HandleFinishedCycles(engine, *rec, [&](const CycleTiming&) {
      std::this_thread::sleep_for(std::chrono::milliseconds(20));  // the next cycles fill
      engine.RequestStop();
      chain_done = true;
      return true;
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  engine.Join();
  EXPECT_EQ(handled, 1);
  EXPECT_TRUE(chain_done);
  for (int i = 1; i <= 3; ++i) EXPECT_EQ(rec->Encoder(0, i), static_cast<float>(i)) << i;

  // A cycle finished after the consumer stopped looking is not handed to the next run.
  ASSERT_TRUE(engine.Start(1, 3));
  engine.WaitForCycle(std::chrono::seconds(5));
  SampleBlock* first = engine.TakeFinished();
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first->cycle, 1);
  engine.Release(first);
  engine.RequestStop();
  engine.Join();
}

}  // namespace
}  // namespace velquor
