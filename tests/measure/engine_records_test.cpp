// The acquisition engine hands over every cycle as the same reads taken one after another:
// voltages and encoder counts alike, so what is saved does not depend on how it was taken.
#include <gtest/gtest.h>

#include <memory>

#include "analysis/analyse_record.h"
#include "analysis/strokes.h"
#include "daq/device_access.h"
#include "daq/sim_rig.h"
#include "files/data_file_text.h"
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

// A seed and condition keep their files: the first cycle of seed 7 at 20 ms and 100 samples,
// both files as composed for saving at a fixed moment, as they were saved before the engine came.
TEST(EngineRecords, TheSeedAndConditionKeepTheirFiles) {
  SimRig rig(7, 0.02);
  auto rec = std::make_unique<MeasurementRecord>();
  QuickRecord(rig, *rec, 100, 20);
  Calibration cal = Calibration::DesignTime();
  cal.Ka1 = {SimRig::kNmPerVolt, SimRig::kNmPerVolt};
  auto series = std::make_unique<DerivedSeries>();
  KinematicsResults kin;
  StrokeResults strokes;
  RecordAnalysis out{*series, kin, strokes};
  ASSERT_FALSE(AnalyseRecord(
      *rec, cal, {false, ReadStrokeConditions("1", "2", JudgeChannel::kAuto), std::nullopt}, out));
  const std::string bytes =
      SummaryFileText("RUN0000001", "note", *rec, strokes, {2024, 5, 6, 7, 8, 9}) +
      SampleFileText(*rec, *series);
  std::uint64_t fnv1a = 1469598103934665603ull;
  for (unsigned char c : bytes) fnv1a = (fnv1a ^ c) * 1099511628211ull;
  EXPECT_EQ(fnv1a, 8715610676149102931ull);
}

}  // namespace
}  // namespace velquor
