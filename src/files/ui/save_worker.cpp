#include "files/ui/save_worker.h"

#include "files/data_files.h"

namespace velquor::ui {

SaveWorker::SaveWorker(QObject* parent) : QObject(parent), writer_(std::make_unique<QObject>()) {
  writer_->moveToThread(&thread_);
  thread_.start();
}

SaveWorker::~SaveWorker() {
  // The quit is queued behind the saves still waiting, so they are all written first.
  QMetaObject::invokeMethod(
      writer_.get(), [this] { thread_.quit(); }, Qt::QueuedConnection);
  thread_.wait();
  writer_.reset();
}

void SaveWorker::Save(SaveJob job, Done done) {
  auto shared = std::make_shared<SaveJob>(std::move(job));
  QMetaObject::invokeMethod(
      writer_.get(),
      [this, shared, done] {
        FileNaming naming = shared->naming;
        Result<PairSaved> saved =
            velquor::SaveDataFiles(naming, shared->saveFlag, *shared->record, *shared->series,
                                   shared->strokes, shared->stamp, shared->whenTaken);
        QMetaObject::invokeMethod(
            this, [saved = std::move(saved), naming, done] { done(saved, naming); },
            Qt::QueuedConnection);
      },
      Qt::QueuedConnection);
}

void SaveWorker::Write(std::function<Written()> job, std::function<void(const Written&)> done) {
  QMetaObject::invokeMethod(
      writer_.get(),
      [this, job = std::move(job), done = std::move(done)] {
        Written written = job();
        QMetaObject::invokeMethod(
            this, [written = std::move(written), done] { done(written); }, Qt::QueuedConnection);
      },
      Qt::QueuedConnection);
}

}  // namespace velquor::ui
