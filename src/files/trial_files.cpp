#include "files/trial_files.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "common/path_map.h"
#include "common/text_file.h"
#include "files/push_csv_file.h"
#include "files/trial_file_text.h"

namespace velquor {
namespace {

constexpr std::string_view kPairCsvEnd = "_csv.csv";

Problem Failed(const std::string& path, const std::string& what, int err) {
  return Problem{path, 0, 0, what + ": " + ErrnoText(err)};
}

}  // namespace

TrialFiles::~TrialFiles() {
  Close();
}

void TrialFiles::Close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

Result<std::string> TrialFiles::Apply(const TrialStep& step) {
  if (step.kind == TrialStep::Kind::kOpen) {
    // A new trial: whatever became of the last one.
    Close();
    failed_ = false;
  }
  if (failed_) return std::string();
  Result<std::string> done = std::string();
  switch (step.kind) {
    case TrialStep::Kind::kOpen:
      done = OpenFiles(step);
      break;
    case TrialStep::Kind::kDocument:
      if (json_.empty()) return std::string();
      if (Status j = WriteJson(step.json, true); !j) return j.problem();
      return "Trial document written again: " + json_;
    case TrialStep::Kind::kAppend:
      if (fd_ < 0) return std::string();
      if (Status s = Append(step.rows); !s) {
        done = s.problem();
      } else if (!step.json.empty()) {
        // A checkpoint: the rows so far on disk, then the document that counts them.
        if (Status synced = Sync(); !synced) {
          done = synced.problem();
        } else if (Status j = WriteJson(step.json, true); !j) {
          done = j.problem();
        }
      } else if (std::chrono::steady_clock::now() - synced_ >= kSyncEvery) {
        if (Status synced = Sync(); !synced) done = synced.problem();
      }
      break;
    case TrialStep::Kind::kEnd:
      if (fd_ < 0) return std::string();
      if (Status s = Append(step.rows); !s) {
        done = s.problem();
      } else if (Status synced = Sync(); !synced) {
        done = synced.problem();
      } else if (Status j = WriteJson(step.json, true); !j) {
        done = j.problem();
      } else if (Status p = WritePushCsvFile(pushes_, step.pushesCsv); !p) {
        done = p.problem();
      } else {
        done = "Trial saved: " + csv_ + ", " + json_ + " and " + pushes_;
      }
      Close();
      break;
  }
  if (!done) {
    failed_ = true;
    Close();
  }
  return done;
}

Result<std::string> TrialFiles::OpenFiles(const TrialStep& step) {
  const std::string& pair = step.pairCsvPath;
  const std::string tail = step.stem + std::string(kPairCsvEnd);
  if (pair.size() < tail.size() ||
      pair.compare(pair.size() - tail.size(), tail.size(), tail) != 0) {
    return Problem{pair, 0, 0, "the trial cannot be named after this file: it is not " + tail};
  }
  const std::string dir = pair.substr(0, pair.size() - tail.size());
  csv_ = dir + TrialCsvName(step.stem);
  json_ = dir + TrialJsonName(step.stem);
  pushes_ = dir + TrialPushesName(step.stem);
  const std::string native = ToNativePath(csv_);
  // Created only where no file stands: a trial never replaces one.
  fd_ = ::open(native.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_APPEND | O_CLOEXEC, 0644);
  if (fd_ < 0) {
    const int err = errno;
    return Failed(csv_,
                  err == EEXIST ? "the trial file is not written: a file of its name exists"
                                : "the trial file cannot be created",
                  err);
  }
  if (Status s = Append(step.rows); !s) return s.problem();
  if (Status s = Sync(); !s) return s.problem();
  if (Status s = SyncDirectory(DirectoryOf(native)); !s) return s.problem();
  if (Status s = WriteJson(step.json, false); !s) return s.problem();
  return "Trial " + step.stem + " is written as it runs to " + csv_ + " and " + json_;
}

Status TrialFiles::Append(const std::string& rows) {
  std::size_t done = 0;
  while (done < rows.size()) {
    const ssize_t n = ::write(fd_, rows.data() + done, rows.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return Failed(csv_, "cannot add to the trial file", errno);
    }
    done += static_cast<std::size_t>(n);
  }
  return Status::Ok();
}

Status TrialFiles::Sync() {
  if (::fdatasync(fd_) != 0) return Failed(csv_, "cannot flush the trial file to disk", errno);
  synced_ = std::chrono::steady_clock::now();
  return Status::Ok();
}

Status TrialFiles::WriteJson(const std::string& json, bool replace) {
  if (json.empty()) return Status::Ok();
  if (Status s = WriteFileAtomic(ToNativePath(json_), json, replace); !s) {
    return Problem{json_, 0, 0, s.problem().what};
  }
  return Status::Ok();
}

}  // namespace velquor
