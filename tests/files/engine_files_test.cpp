// The acquisition engine changes no byte of what is saved: the files of every cycle it
// takes on the simulated rig are those of the same reads taken one after another.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

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

// Both files of a measurement as they are composed for saving, at a fixed moment.
std::string FileTexts(MeasurementRecord& rec) {
  Calibration cal = Calibration::DesignTime();
  cal.Ka1 = {SimRig::kNmPerVolt, SimRig::kNmPerVolt};
  auto series = std::make_unique<DerivedSeries>();
  KinematicsResults kin;
  StrokeResults strokes;
  RecordAnalysis out{*series, kin, strokes};
  EXPECT_FALSE(AnalyseRecord(
      rec, cal, {false, ReadStrokeConditions("1", "2", JudgeChannel::kAuto), std::nullopt}, out));
  const SaveStamp stamp{2024, 5, 6, 7, 8, 9};
  return SummaryFileText("RUN0000001", "note", rec, strokes, stamp) + SampleFileText(rec, *series);
}

std::uint64_t Fnv1a(const std::string& bytes) {
  std::uint64_t h = 1469598103934665603ull;
  for (unsigned char c : bytes) h = (h ^ c) * 1099511628211ull;
  return h;
}

// Cycles of `n` samples at `interval` ms from the engine on a fake clock.
std::vector<std::string> EngineCycles(std::uint64_t seed, double interval, int n, int cycles) {
  testing::FakeClock clock;
  SimRig rig(seed, interval / 1000.0);
  DeviceState dev;
  (void)OpenAioCard(rig, dev, CardSettingTexts{});
  (void)OpenDioCard(rig, dev, CardSettingTexts{});
  auto rec = std::make_unique<MeasurementRecord>();
  rec->SampInterval = interval;
  rec->DataNum = static_cast<float>(n);
  rec->MeasTime = interval * n / 1000.0;
  AcquisitionEngine engine(rig, dev, clock);
  std::vector<std::string> texts;
  clock.on_sleep = [&] {
    HandleFinishedCycles(engine, *rec, [&](const CycleTiming&) {
      texts.push_back(FileTexts(*rec));
      return static_cast<int>(texts.size()) < cycles;
    });
  };
  engine.RunHere(interval, n);
  return texts;
}

TEST(EngineFiles, EveryCycleSavesWhatTheSameReadsInARowSave) {
  for (double interval : {20.0, 1.0}) {
    SCOPED_TRACE(interval);
    const auto cycles = EngineCycles(7, interval, 100, 3);
    ASSERT_EQ(cycles.size(), 3u);
    SimRig rig(7, interval / 1000.0);
    for (const std::string& taken : cycles) {
      auto rec = std::make_unique<MeasurementRecord>();
      QuickRecord(rig, *rec, 100, interval);
      EXPECT_EQ(taken, FileTexts(*rec));
    }
  }
}

TEST(EngineFiles, TheSeedAndConditionKeepTheirFiles) {
  // The first cycle of seed 7 at 20 ms and 100 samples, as saved before the engine came.
  EXPECT_EQ(Fnv1a(EngineCycles(7, 20, 100, 1).at(0)), 8715610676149102931ull);
}

}  // namespace
}  // namespace velquor
