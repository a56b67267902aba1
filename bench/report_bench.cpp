// Speed of the report: one 2000-sample measurement composed and drawn as a PDF (what
// "Report..." does with the measurement in memory), and a session of 20 saved measurements
// read back, analysed, composed and drawn (what velquor-cli report does with 20 files).
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <cstdlib>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "analysis/kinematics.h"
#include "analysis/push_analysis.h"
#include "analysis/strokes.h"
#include "daq/sim_rig.h"
#include "files/data_files.h"
#include "files/temp_dir.h"
#include "measure/quick_record.h"
#include "report/file_report.h"
#include "report/ui/report_pdf.h"
#include "workspace/workspace.h"

namespace velquor {
namespace {

// A 20 ms, 2000-sample measurement of the simulated rig, analysed with its calibration.
struct Measured {
  std::unique_ptr<Workspace> ws = Workspace::Make();
  PushAnalysis pushes;

  explicit Measured(std::uint64_t seed) {
    SimRig rig(seed, 0.02);
    QuickRecord(rig, ws->record, kMaxSamples, 20);
    ws->calibration.Ka1 = {SimRig::kNmPerVolt, SimRig::kNmPerVolt};
    ws->calibration.loaded = true;
    if (!CalcKinematics(ws->record, ws->calibration, false, ws->series, ws->kin) ||
        !CalcStrokes(ws->strokeConditions, ws->record, ws->series, ws->kin, ws->strokes)) {
      throw std::runtime_error("the simulated measurement could not be analysed");
    }
    auto p = AnalysePushes(ws->series, ws->record, PushParameters{});
    if (!p) throw std::runtime_error(p.problem().what);
    pushes = p.value();
  }

  ReportSource Source() const {
    return {{"RUN0000001", "12-06-2026", "20:15:07", kProgramName, "note"},
            ws->record,
            ws->series,
            ws->kin,
            ws->strokes,
            ws->strokeConditions,
            ws->calibration.Ka1,
            ws->calibration.Ka0,
            true,
            false,
            kDefaultGraphColor,
            &pushes};
  }
};

void BM_MeasurementReport(benchmark::State& state) {
  const Measured m(1);
  std::size_t bytes = 0;
  for (auto _ : state) {
    ReportDocument sections;
    AppendMeasurementSection(m.Source(), sections);
    const ComparisonEntry entry = CompareMeasurement(m.Source());
    auto pdf = ReportPdfBytes(AssembleReport({&entry, 1}, std::move(sections)));
    if (!pdf) throw std::runtime_error(pdf.problem().what);
    bytes = pdf.value().size();
    benchmark::DoNotOptimize(bytes);
  }
  state.counters["pdf_kB"] = static_cast<double>(bytes) / 1024.0;
}
BENCHMARK(BM_MeasurementReport)->Unit(benchmark::kMillisecond);

void BM_SessionReportOf20Files(benchmark::State& state) {
  testing::TempDir dir;
  std::vector<std::string> files;
  ReportSettings settings;
  for (int k = 1; k <= 20; ++k) {
    const Measured m(static_cast<std::uint64_t>(k));
    const std::string stem = "RUN" + std::to_string(1000000 + k);
    const std::string base = dir / stem;
    if (!WriteDataFiles({stem, base + "_dat.csv", base + "_csv.csv"}, "", m.ws->record,
                        m.ws->series, m.ws->strokes, {2026, 12, 6, 20, 0, k},
                        velquor::WhenTaken::kReplace)) {
      throw std::runtime_error("the session could not be saved");
    }
    files.push_back(base + "_dat.csv");
    settings.calibration = m.ws->calibration;
  }
  settings.GraphColor = kDefaultGraphColor;
  std::size_t bytes = 0;
  for (auto _ : state) {
    const FileReport report = ComposeFileReport(files, settings);
    if (!report.failures.empty()) throw std::runtime_error(report.failures.front().what);
    auto pdf = ReportPdfBytes(report.doc);
    if (!pdf) throw std::runtime_error(pdf.problem().what);
    bytes = pdf.value().size();
    benchmark::DoNotOptimize(bytes);
  }
  state.counters["pdf_kB"] = static_cast<double>(bytes) / 1024.0;
}
BENCHMARK(BM_SessionReportOf20Files)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace velquor

int main(int argc, char** argv) {
  ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QGuiApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
