// The study catalogue at the size of a long study: 10,000 trial documents (100 participants,
// 20 sessions on 20 days, 5 trials each) scanned into a new catalogue, scanned again, listed by
// participant, and one participant's progress report over the 20 sessions composed and written
// as a PDF. Prints the time per trial of the scans, the time of a listing and of the report.
// usage: catalogue_bench [TRIALS [PROGRESS.pdf]] (the PDF kept there when given)
#include <stdlib.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "catalogue/catalogue.h"
#include "catalogue/study_trials.h"
#ifdef VELQUOR_BENCH_PDF
#include <QGuiApplication>

#include "report/progress_report.h"
#include "report/ui/report_pdf.h"
#endif

namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::time_point from) {
  return std::chrono::duration<double, std::milli>(Clock::now() - from).count();
}

}  // namespace

int main(int argc, char** argv) {
  using namespace velquor;
  const int trials = argc > 1 ? std::atoi(argv[1]) : 10000;
  std::string tmpl = (std::filesystem::temp_directory_path() / "velquor-cat-XXXXXX").string();
  const std::string dir = ::mkdtemp(tmpl.data());
  // One trial's pushes serve every document; the labels and names differ.
  const testing::SavedTrial t = testing::SaveTrial(dir, "RUN0000000", 1, {"P0", "1", "x"}, 1.0, 8);
  std::filesystem::remove(dir + "/" + TrialCsvName("RUN0000000"));
  std::filesystem::remove(dir + "/" + TrialPushesName("RUN0000000"));
  for (int i = 1; i <= trials; ++i) {
    TrialFacts f = t.facts;
    f.stem = "RUN" + std::to_string(10000000 + i).substr(1);
    const int session = 1 + (i / 100) % 20;
    f.who = {"P" + std::to_string(i % 100), std::to_string(session), "steady"};
    // Session k on 2026-11-k, its trials a minute or more apart.
    const auto two = [](int v) { return std::string(v < 10 ? "0" : "") + std::to_string(v); };
    f.started = "2026-11-" + two(session) + "T10:" + two(i / 2000) + ":" + two(i % 60) + "+09:00";
    f.cycles = {{f.stem, 1, f.samples}};
    std::ofstream(dir + "/" + TrialJsonName(f.stem)) << TrialJsonText(f, t.pushes, true);
  }
  auto start = Clock::now();
  const Result<CatalogueNews> first = ScanCatalogue(dir);
  const double scan_ms = Ms(start);
  start = Clock::now();
  const Result<CatalogueNews> again = ScanCatalogue(dir);
  const double rescan_ms = Ms(start);
  start = Clock::now();
  const Result<TrialList> list = ListTrials(dir, {"P7", "", ""});
  const double list_ms = Ms(start);
  if (!first || !again || !list) {
    std::fprintf(stderr, "catalogue_bench: a step failed\n");
    return 1;
  }
  std::printf("trials: %d (%s)\n", trials, first.value().done.c_str());
  std::printf("scan into a new catalogue: %.0f ms, %.3f ms per trial\n", scan_ms, scan_ms / trials);
  std::printf("second scan (%d rows changed): %.0f ms, %.3f ms per trial\n",
              again.value().added + again.value().changed + again.value().removed, rescan_ms,
              rescan_ms / trials);
  std::printf("list --participant P7 (%zu trials, opening the catalogue included): %.1f ms\n",
              list.value().rows.size(), list_ms);
#ifdef VELQUOR_BENCH_PDF
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  int qt_argc = 1;
  char name[] = "catalogue_bench";
  char* qt_argv[] = {name, nullptr};
  const QGuiApplication app(qt_argc, qt_argv);
  MdcSettings mdc;
  mdc.items = {{"push_frequency_per_min", 4}, {"peak_torque_Nm", 3}};
  start = Clock::now();
  const Result<ProgressReport> report = ComposeProgress({dir, "P7", "", {}, mdc});
  const double compose_ms = Ms(start);
  const std::string pdf = argc > 2 ? argv[2] : dir + "/progress.pdf";
  start = Clock::now();
  const Status written = report ? WriteReportPdf(report.value().doc, pdf, true) : Status{};
  const double pdf_ms = Ms(start);
  if (!report || !written) {
    std::fprintf(stderr, "catalogue_bench: the progress report failed: %s\n",
                 (report ? written.problem() : report.problem()).Describe().c_str());
    return 1;
  }
  std::printf("progress of P7 (%s): compose %.1f ms + PDF %.1f ms = %.1f ms\n",
              report.value().done.c_str(), compose_ms, pdf_ms, compose_ms + pdf_ms);
#endif
  std::filesystem::remove_all(dir);
  return 0;
}
