// Writes measurement files on a thread of its own, one save after the other in the order
// they were asked for, and hands each outcome back on the thread that asked.
#pragma once

#include <QObject>
#include <QThread>
#include <functional>
#include <memory>
#include <string>

#include "analysis/series.h"
#include "common/result.h"
#include "files/data_files.h"
#include "files/naming.h"
#include "files/save_stamp.h"
#include "record/record.h"

namespace velquor::ui {

// What one save writes: copies of everything the files are composed from, so the next
// cycle may be analysed while they are written.
struct SaveJob {
  FileNaming naming;
  int saveFlag = 0;
  std::shared_ptr<const MeasurementRecord> record;
  std::shared_ptr<const DerivedSeries> series;
  StrokeResults strokes;
  SaveStamp stamp;
  WhenTaken whenTaken = WhenTaken::kNextFreeNumber;  // a pair already there: next free, or ask
};

class SaveWorker : public QObject {
  Q_OBJECT

 public:
  explicit SaveWorker(QObject* parent = nullptr);
  // Every save asked for is written before the worker goes.
  ~SaveWorker() override;

  // Composes and writes both files through the save path, a taken pair treated as the job
  // says; `done` then runs on this object's thread with what was written and
  // the names as the save left them.
  using Done = std::function<void(const Result<PairSaved>&, const FileNaming&)>;
  void Save(SaveJob job, Done done);
  // Any other writing, in the same order as the saves: `job` runs on the worker's thread,
  // `done` then on this object's thread with what it gave.
  using Written = Result<std::string>;
  void Write(std::function<Written()> job, std::function<void(const Written&)> done);

 private:
  QThread thread_;
  std::unique_ptr<QObject> writer_;  // lives on thread_
};

}  // namespace velquor::ui
