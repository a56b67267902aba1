// Saving and reloading the two data files of a full-length measurement (2000 samples, three
// strokes) through the real file layer. Goal: under 5 ms each.
#include <benchmark/benchmark.h>

#include <memory>
#include <stdexcept>

#include "analysis/kinematics.h"
#include "analysis/strokes.h"
#include "common/shift_jis.h"
#include "daq/device_access.h"
#include "daq/sim_rig.h"
#include "files/data_file_reader.h"
#include "files/data_file_text.h"
#include "files/data_files.h"
#include "files/temp_dir.h"
#include "measure/encoder.h"
#include "measure/take_sample.h"

namespace velquor {
namespace {

struct Measured {
  std::unique_ptr<MeasurementRecord> rec = std::make_unique<MeasurementRecord>();
  std::unique_ptr<DerivedSeries> series = std::make_unique<DerivedSeries>();
  KinematicsResults kin;
  StrokeResults strokes;
};

std::unique_ptr<Measured> Simulate2000() {
  auto m = std::make_unique<Measured>();
  SimRig rig(5);
  DeviceState dev;
  OpenAioCard(rig, dev, CardSettingTexts{});
  OpenDioCard(rig, dev, CardSettingTexts{});
  for (int i = 1; i <= kMaxSamples; ++i) TakeSample(rig, dev, m->rec->Volt, m->rec->PortByte, i);
  m->rec->SampInterval = 20;
  m->rec->DataNum = kMaxSamples;
  m->rec->MeasTime = 40;
  AssembleEncoder(*m->rec);
  Calibration cal = Calibration::DesignTime();
  cal.Ka1 = {SimRig::kNmPerVolt, SimRig::kNmPerVolt};
  if (!CalcKinematics(*m->rec, cal, false, *m->series, m->kin).ok() ||
      !CalcStrokes(ReadStrokeConditions("1", "2", JudgeChannel::kAuto), *m->rec, *m->series, m->kin,
                   m->strokes)
           .ok()) {
    throw std::runtime_error("the simulated measurement cannot be analysed");
  }
  return m;
}

FileNaming NamingIn(const std::string& dir) {
  FileNaming n;
  n.Auto = {dir, "RUN", "1", "bench", "", ""};
  return n;
}

void BM_SaveDataFiles(benchmark::State& state) {
  auto m = Simulate2000();
  testing::TempDir dir;
  FileNaming naming = NamingIn(dir.path());
  const SaveStamp stamp{2026, 12, 5, 14, 30, 0};
  for (auto _ : state) {
    auto s = SaveDataFiles(naming, 0, *m->rec, *m->series, m->strokes, stamp, WhenTaken::kReplace);
    if (!s) state.SkipWithError(s.problem().Describe().c_str());
  }
}
BENCHMARK(BM_SaveDataFiles)->Unit(benchmark::kMillisecond);

void BM_LoadDataFiles(benchmark::State& state) {
  auto m = Simulate2000();
  testing::TempDir dir;
  FileNaming naming = NamingIn(dir.path());
  if (!SaveDataFiles(naming, 0, *m->rec, *m->series, m->strokes, {}, WhenTaken::kRefuse).ok()) {
    state.SkipWithError("cannot save the files to read");
    return;
  }
  auto rec = std::make_unique<MeasurementRecord>();
  auto series = std::make_unique<DerivedSeries>();
  for (auto _ : state) {
    auto loaded = LoadDataFiles(naming.DatFilePath);
    if (!loaded) {
      state.SkipWithError(loaded.problem().Describe().c_str());
      break;
    }
    CommitLoadedData(*loaded.value(), *rec, *series);
  }
}
BENCHMARK(BM_LoadDataFiles)->Unit(benchmark::kMillisecond);

// The parts of a save, to see where its time goes: composing the texts, encoding them.
void BM_ComposeTexts(benchmark::State& state) {
  auto m = Simulate2000();
  for (auto _ : state) {
    benchmark::DoNotOptimize(SampleFileText(*m->rec, *m->series));
    benchmark::DoNotOptimize(SummaryFileText("RUN0000001", "bench", *m->rec, m->strokes, {}));
  }
}
BENCHMARK(BM_ComposeTexts)->Unit(benchmark::kMillisecond);

void BM_EncodeShiftJis(benchmark::State& state) {
  auto m = Simulate2000();
  const std::string text = SampleFileText(*m->rec, *m->series);
  for (auto _ : state) benchmark::DoNotOptimize(Utf8ToShiftJis(text));
}
BENCHMARK(BM_EncodeShiftJis)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace velquor

BENCHMARK_MAIN();
