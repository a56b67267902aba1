#include "measure/cycle_handoff.h"

#include "measure/encoder.h"

namespace velquor {

int HandleFinishedCycles(AcquisitionEngine& engine, MeasurementRecord& rec,
                         const AfterCycleFn& after_cycle, const std::function<bool()>& may_go_on,
                         const std::function<void(const SampleBlock&)>& before_release) {
  int handled = 0;
  while (!may_go_on || may_go_on()) {
    SampleBlock* block = engine.TakeFinished();
    if (block == nullptr) break;
    if (before_release) before_release(*block);
    if (engine.StopRequested()) {
      engine.Release(block);
      continue;
    }
    const CycleTiming timing = MeasureCycleTiming(*block);
    MoveIntoRecord(*block, rec);
    // The block is free for the cycle after next as soon as the record holds its samples.
    engine.Release(block);
    AssembleEncoder(rec);
    ++handled;
    if (!after_cycle(timing)) engine.RequestStop();
  }
  return handled;
}

}  // namespace velquor
