// The study catalogue at the size of a long study: 10,000 trial documents (100 participants,
// 20 sessions, 5 trials each) scanned into a new catalogue, scanned again, and listed by
// participant. Prints the time per trial of the scans and the time of a listing.
// usage: catalogue_bench [TRIALS]
#include <stdlib.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "catalogue/catalogue.h"
#include "catalogue/study_trials.h"

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
    f.who = {"P" + std::to_string(i % 100), std::to_string(1 + (i / 100) % 20), "steady"};
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
  std::filesystem::remove_all(dir);
  return 0;
}
