// The files of a trial as the run writes them: the per-sample CSV appended as the samples come
// and made durable at least every few seconds, the JSON document rewritten whole at each
// checkpoint, and the push table at the end. No file that is there already is replaced.
#pragma once

#include <chrono>
#include <string>

#include "common/result.h"

namespace velquor {

// One step of a trial's files, in the order the run asks for them.
struct TrialStep {
  // kDocument writes the JSON document again alone (a marker labelled after the end).
  enum class Kind { kOpen, kAppend, kEnd, kDocument };
  Kind kind = Kind::kAppend;
  std::string pairCsvPath;  // kOpen: the per-sample file of the trial's first pair (stored form)
  std::string stem;         // kOpen: that pair's stem, the trial's name
  std::string rows;         // CSV text to add (with the header at kOpen)
  std::string json;         // the document to write whole; empty for none
  std::string pushesCsv;    // kEnd: the push table
};

class TrialFiles {
 public:
  // Every this long the appended rows are flushed to disk.
  static constexpr std::chrono::seconds kSyncEvery{5};

  TrialFiles() = default;
  ~TrialFiles();
  TrialFiles(const TrialFiles&) = delete;
  TrialFiles& operator=(const TrialFiles&) = delete;

  // Carries the step out: what was written and where (for the notice log), or what failed,
  // naming the file. After a failure the trial's files take no further step.
  Result<std::string> Apply(const TrialStep& step);
  bool Open() const { return fd_ >= 0; }

 private:
  Result<std::string> OpenFiles(const TrialStep& step);
  Status Append(const std::string& rows);
  Status Sync();
  Status WriteJson(const std::string& json, bool replace);
  void Close();

  int fd_ = -1;
  bool failed_ = false;
  std::string csv_;  // stored form
  std::string json_;
  std::string pushes_;
  std::chrono::steady_clock::time_point synced_;
};

}  // namespace velquor
