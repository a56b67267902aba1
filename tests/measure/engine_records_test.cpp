// The acquisition engine hands over every cycle as the same reads taken one after another:
// voltages and encoder counts alike, so what is saved does not depend on how it was taken.
#include <gtest/gtest.h>

#include <memory>

#include "daq/device_access.h"
#include "daq/sim_rig.h"
#include "measure/acquisition_engine.h"
#include "measure/cycle_handoff.h"
#include "measure/quick_record.h"
#include "support/fake_clock.h"

namespace velquor {
namespace {

TEST(EngineRecords, EveryCycleHoldsWhatTheSameReadsInARowHold) {
  constexpr int kSamples = 100;
  for (double interval : {20.0, 1.0}) {
    SCOPED_TRACE(interval);
    testing::FakeClock clock;
    SimRig rig(7, interval / 1000.0), in_a_row(7, interval / 1000.0);
    DeviceState dev;
    (void)OpenAioCard(rig, dev, CardSettingTexts{});
    (void)OpenDioCard(rig, dev, CardSettingTexts{});
    auto rec = std::make_unique<MeasurementRecord>();
    auto expected = std::make_unique<MeasurementRecord>();
    rec->SampInterval = interval;
    rec->DataNum = kSamples;
    AcquisitionEngine engine(rig, dev, clock);
    int cycles = 0;
    clock.on_sleep = [&] {
      HandleFinishedCycles(engine, *rec, [&](const CycleTiming&) {
        QuickRecord(in_a_row, *expected, kSamples, interval);
        for (int i = 1; i <= kSamples; ++i) {
          for (int ch = 0; ch < 2; ++ch) {
            EXPECT_EQ(rec->Volt(ch, i), expected->Volt(ch, i)) << "cycle " << cycles << " " << i;
            EXPECT_EQ(rec->Encoder(ch, i), expected->Encoder(ch, i)) << "cycle " << cycles;
          }
        }
        return ++cycles < 3;
      });
    };
    engine.RunHere(interval, kSamples);
    EXPECT_EQ(cycles, 3);
  }
}

}  // namespace
}  // namespace velquor
