#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

#include "measure/main_loop.h"
#include "support/scripted_driver.h"

namespace velquor {
namespace {

using testing::ScriptedDriver;

// A host with a fake clock that advances by `step` ms at every pass.
class FakeHost : public LoopHost {
 public:
  std::uint32_t clock = 5000;
  std::uint32_t step = 1;
  int passes = 0;
  int cycles = 0;
  std::vector<Rgb> lamps;
  std::vector<std::pair<bool, bool>> buttons;
  std::function<void(FakeHost&)> on_pass;
  std::function<void(FakeHost&)> on_cycle;
  std::vector<std::uint32_t> sample_clocks;

  void ProcessEvents() override {
    ++passes;
    clock += step;
    if (on_pass) on_pass(*this);
  }
  std::uint32_t ClockMs() override { return clock; }
  void SetTimerLamp(Rgb c) override { lamps.push_back(c); }
  void SetStartStop(bool a, bool b) override { buttons.emplace_back(a, b); }
  void AfterCycle() override {
    ++cycles;
    if (on_cycle) on_cycle(*this);
  }
};

struct Rig {
  std::unique_ptr<MeasurementRecord> rec = std::make_unique<MeasurementRecord>();
  DeviceState dev;
  TimerRecord timer;
  ScriptedDriver driver;
  Rig() {
    dev.AioReq = {&dev.AiData, &dev.ChannelList, 2};
    dev.DioReq = {&dev.PortList, 3, &dev.DioData};
  }
  LoopParts parts() { return {*rec, dev, timer, driver}; }
};

TEST(MainLoop, TakesOneCycleOnTheGridThenStops) {
  Rig rig;
  rig.rec->SampInterval = 20;
  rig.rec->DataNum = 5;
  for (std::uint8_t i = 1; i <= 5; ++i) rig.driver.port_script.push_back({i, 0, 0x10});
  rig.driver.code_script.push_back({2100, 2042});
  FakeHost host;
  const std::uint32_t start = host.clock;
  std::vector<std::uint32_t> taken;
  int last_sample = 0;
  host.on_pass = [&](FakeHost& h) {
    if (rig.rec->SampleNo > last_sample) taken.push_back(h.clock - h.step - start);
    last_sample = rig.rec->SampleNo;
  };
  host.on_cycle = [&](FakeHost&) {
    EXPECT_EQ(rig.rec->SampleNo, 5);
    rig.rec->StopFlag = true;
  };
  MainLoop(rig.parts(), host);
  EXPECT_EQ(host.cycles, 1);
  EXPECT_EQ(taken, (std::vector<std::uint32_t>{20, 40, 60, 80, 100}));
  EXPECT_EQ(rig.rec->Volt(0, 1), 0.25390625f);
  EXPECT_EQ(rig.rec->Volt(1, 1), -0.029296875f);
  for (int i = 1; i <= 5; ++i) {
    EXPECT_EQ(rig.rec->Encoder(0, i), static_cast<float>(i)) << i;
    EXPECT_EQ(rig.rec->Encoder(1, i), 256.0f) << i;
  }
  EXPECT_EQ(rig.rec->SampleNo, 0);
  EXPECT_EQ(host.lamps.back(), kLampRed);
  EXPECT_EQ(host.buttons.front(), std::make_pair(false, true));
  EXPECT_EQ(host.buttons.back(), std::make_pair(true, false));
}

TEST(MainLoop, LampYellowWhenBehindAndGreenAgainAfterAnIdlePoll) {
  Rig rig;
  rig.rec->SampInterval = 10;
  rig.rec->DataNum = 100;
  FakeHost host;
  std::vector<std::pair<int, Rgb>> seen;
  host.on_pass = [&](FakeHost& h) {
    // Once, the program falls 35 ms behind (a slow event handler): three ticks come at once.
    if (h.passes == 25) h.clock += 35;
    if (rig.rec->SampleNo >= 8) rig.rec->StopFlag = true;
  };
  MainLoop(rig.parts(), host);
  // Sample 1 follows idle polls: green. Sample 4 is due at the first poll after sample 3:
  // yellow. Sample 7 needed idle polls again: green. Then the stop turns it red.
  EXPECT_EQ(host.lamps, (std::vector<Rgb>{kLampGreen, kLampYellow, kLampGreen, kLampRed}));
}

TEST(MainLoop, IntervalOfHalfAMillisecondNeverSamples) {
  for (double interval : {0.5, 0.2, 0.0, -3.0}) {
    Rig rig;
    rig.rec->SampInterval = interval;
    rig.rec->DataNum = 10;
    FakeHost host;
    host.on_pass = [&](FakeHost& h) {
      if (h.passes == 500) rig.rec->StopFlag = true;
    };
    MainLoop(rig.parts(), host);
    EXPECT_EQ(rig.rec->SampleNo, 0) << interval;
    EXPECT_EQ(host.cycles, 0) << interval;
    EXPECT_TRUE(rig.driver.calls.empty()) << interval;
  }
}

TEST(MainLoop, LoweringDataNumEndsTheCycleAtTheNextPass) {
  Rig rig;
  rig.rec->SampInterval = 5;
  rig.rec->DataNum = 100;
  FakeHost host;
  int samples_at_cycle = -1;
  host.on_pass = [&](FakeHost&) {
    if (rig.rec->SampleNo == 3) rig.rec->DataNum = 2;
  };
  host.on_cycle = [&](FakeHost&) {
    samples_at_cycle = rig.rec->SampleNo;
    rig.rec->StopFlag = true;
  };
  MainLoop(rig.parts(), host);
  EXPECT_EQ(samples_at_cycle, 3);
}

TEST(MainLoop, StopDuringSamplingAbandonsTheCycle) {
  Rig rig;
  rig.rec->SampInterval = 2;
  rig.rec->DataNum = 50;
  FakeHost host;
  host.on_pass = [&](FakeHost&) {
    if (rig.rec->SampleNo == 7) rig.rec->StopFlag = true;
  };
  MainLoop(rig.parts(), host);
  EXPECT_EQ(host.cycles, 0);
  EXPECT_EQ(rig.rec->SampleNo, 7);  // the samples taken stay in the record
  EXPECT_FALSE(rig.timer.Enabled);
}

TEST(MainLoop, CyclesRepeatUntilStopAndNeverPassSample2000) {
  Rig rig;
  rig.rec->SampInterval = 1;
  rig.rec->DataNum = 2600;  // out of range: the loop still stops at the last slot
  FakeHost host;
  host.on_cycle = [&](FakeHost& h) {
    EXPECT_EQ(rig.rec->SampleNo, kMaxSamples);
    if (h.cycles == 2) rig.rec->StopFlag = true;
  };
  MainLoop(rig.parts(), host);
  EXPECT_EQ(host.cycles, 2);
}

}  // namespace
}  // namespace velquor
