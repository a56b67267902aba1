// velquor-cli measure: measurement cycles on an acquisition backend, each analysed and
// saved with the Auto Save names as the desktop program does with Auto Save on.
#pragma once

#include <csignal>
#include <ostream>

#include "app/cli/cli_options.h"
#include "app/cli/startup_files.h"

namespace velquor::cli {

// Runs the cycles; `interrupted` becoming non-zero (the number of the signal that asks to
// stop, SIGINT or SIGTERM) stops the run at the loop's next pass, as the Stop button does. One line
// per cycle goes to `out`, problems to `err`. A save that fails stops the run after that cycle, so
// the next one cannot replace the measurement that is still unsaved. Velquor.ini is written after
// every save with the advanced file number (so a killed run goes on after its last pair) and again
// at the end; a taken number is passed over, never written over. Returns the exit status: 0 all
// saved, 1 a save, the analysis or a device failed, 2 a condition or backend that cannot be used,
// 128 + the signal's number (130 SIGINT, 143 SIGTERM) when stopped before all cycles were done,
// every finished cycle saved.
int RunMeasure(const MeasureOptions& options, const CliPaths& paths,
               const volatile std::sig_atomic_t& interrupted, std::ostream& out, std::ostream& err);

}  // namespace velquor::cli
