// The headless tool: measures on a backend or re-analyses saved files without a display.
#include <csignal>
#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "app/cli/catalogue_command.h"
#include "app/cli/cli_options.h"
#include "app/cli/feedback_command.h"
#include "app/cli/measure_command.h"
#include "app/cli/pushes_command.h"
#include "app/cli/reanalyse_command.h"
#include "app/cli/startup_files.h"
#ifdef VELQUOR_HAVE_PNG
#include "app/cli/progress_command.h"
#include "app/cli/report_command.h"
#endif
#include "velquor_version.h"

namespace {

// The number of the signal (Ctrl-C's SIGINT, or SIGTERM) that asks the measure command to
// stop; it looks at it while the cycles are sampled, stops the run and exits 128 + it.
volatile std::sig_atomic_t g_interrupted = 0;

extern "C" void OnInterrupt(int sig) {
  g_interrupted = sig;
}

int Run(int argc, char** argv) {
  using namespace velquor::cli;
  const std::vector<std::string> args(argv + 1, argv + argc);
  auto inv = ParseCommandLine(args);
  if (!inv) {
    std::cerr << "velquor-cli: " << inv.problem().what << "\n"
              << "(velquor-cli --help, or velquor-cli COMMAND --help, says more)\n";
    return 2;
  }
  if (inv.value().version) {
    std::cout << "velquor-cli " << VELQUOR_VERSION << "\n";
    return 0;
  }
  if (inv.value().complete) {
    std::cout << Completion(inv.value().command);
    return 0;
  }
  if (inv.value().help) {
    std::cout << Usage(inv.value().command);
    return 0;
  }
  const CliPaths paths;
  if (inv.value().command == Command::kReanalyse) {
    return RunReanalyse(inv.value().reanalyse, paths, std::cout, std::cerr);
  }
  if (inv.value().command == Command::kFeedback) {
    return RunFeedback(inv.value().feedback, paths, std::cout, std::cerr);
  }
  if (inv.value().command == Command::kCatalogue) {
    return RunCatalogue(inv.value().catalogue, paths, std::cout, std::cerr);
  }
  if (inv.value().command == Command::kExportBids) {
    return RunExportBids(inv.value().exportBids, paths, VELQUOR_VERSION, std::cout, std::cerr);
  }
  if (inv.value().command == Command::kPushes) {
    return RunPushes(inv.value().pushes, paths, std::cout, std::cerr);
  }
#ifdef VELQUOR_HAVE_PNG
  if (inv.value().command == Command::kReport) {
    return RunReport(inv.value().report, paths, std::cout, std::cerr);
  }
  if (inv.value().command == Command::kProgress) {
    return RunProgress(inv.value().progress, paths, std::cout, std::cerr);
  }
#endif
  // A condition in the settings file that Start refuses is the file's fault, not a usage error.
  if (auto bad =
          MeasureConditionFault(paths, inv.value().measure.interval, inv.value().measure.samples)) {
    ReportProblem(std::cerr, *bad);
    return 1;
  }
  std::signal(SIGINT, OnInterrupt);
  std::signal(SIGTERM, OnInterrupt);
  return RunMeasure(inv.value().measure, paths, g_interrupted, std::cout, std::cerr);
}

}  // namespace

// Whatever escapes a command is reported, never left to end the program with an abort; every
// measurement saved before it stays saved, and the settings hold the number after it.
int main(int argc, char** argv) {
  try {
    return Run(argc, argv);
  } catch (const std::exception& e) {
    std::cerr << "velquor-cli: internal error: " << e.what() << "\n";
  } catch (...) {
    std::cerr << "velquor-cli: internal error of unknown kind\n";
  }
  return 1;
}
