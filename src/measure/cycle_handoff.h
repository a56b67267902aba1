// The consumer side of a run: each cycle the acquisition engine has finished is moved into
// the record, its encoder counts formed, and handed to the after-cycle chain, in order.
#pragma once

#include <functional>

#include "measure/acquisition_engine.h"
#include "measure/cycle_timing.h"
#include "record/record.h"

namespace velquor {

// The chain after a cycle (analysis, graphs, tables, saving); false ends the run.
using AfterCycleFn = std::function<bool(const CycleTiming&)>;

// Takes the finished cycles one by one while `may_go_on` allows (a save still being written,
// say, holds the next one back). When the chain ends the run, or a stop was asked, cycles
// finished meanwhile are given back unhandled: the record keeps the cycle the run ended
// with. `before_release` sees every finished block, handled or not, before it is given back.
// Returns how many cycles were handled.
int HandleFinishedCycles(AcquisitionEngine& engine, MeasurementRecord& rec,
                         const AfterCycleFn& after_cycle,
                         const std::function<bool()>& may_go_on = {},
                         const std::function<void(const SampleBlock&)>& before_release = {});

}  // namespace velquor
