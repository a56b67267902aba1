// The session's saves written on the desktop program's save worker, one after the other in
// the order asked, each on copies so the next cycle may be analysed meanwhile.
#pragma once

#include <memory>
#include <utility>

#include "files/ui/save_worker.h"
#include "session/session_host.h"

namespace velquor::ui {

class WorkerSaver : public SessionSaver {
 public:
  explicit WorkerSaver(SaveWorker& worker) : worker_(worker) {}
  void Save(const SaveOrder& o, Done done) override {
    worker_.Save(SaveJob{o.naming, o.saveFlag, std::make_shared<const MeasurementRecord>(*o.record),
                         std::make_shared<const DerivedSeries>(*o.series), *o.strokes, o.stamp},
                 std::move(done));
  }
  // The trial's files live on the worker's thread, where every step is carried out.
  void WriteTrial(TrialStep step, TrialDone done) override {
    worker_.Write([files = trial_, step = std::move(step)] { return files->Apply(step); },
                  std::move(done));
  }
  void Follow(Job job, TrialDone done) override { worker_.Write(std::move(job), std::move(done)); }

 private:
  SaveWorker& worker_;
  std::shared_ptr<TrialFiles> trial_ = std::make_shared<TrialFiles>();
};

}  // namespace velquor::ui
