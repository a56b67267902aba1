#include "files/pair_files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <optional>
#include <set>
#include <utility>

#include "common/number_parse.h"
#include "common/number_text.h"
#include "common/path_map.h"
#include "common/shift_jis.h"
#include "files/data_file_reader.h"
#include "files/data_file_text.h"
#include "files/trial_completion.h"

namespace velquor {
namespace {

constexpr std::string_view kCsvEnd = "_csv.csv";
constexpr std::string_view kDatEnd = "_dat.csv";
// A finished summary's tag carries the inode of its per-sample file after this.
constexpr std::string_view kInodeMark = "i";
// As many taken numbers in a row as an automatic save passes over.
constexpr int kMaxRenumber = 10000;

bool EndsWith(std::string_view t, std::string_view end) {
  return t.size() >= end.size() && t.substr(t.size() - end.size()) == end;
}

// The other file's name of a pair: "X_csv.csv" <-> "X_dat.csv".
std::string Partner(std::string_view name, std::string_view from_end, std::string_view to_end) {
  return std::string(name.substr(0, name.size() - from_end.size())) + std::string(to_end);
}

std::optional<ino_t> InodeOf(const std::string& path) {
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0) return std::nullopt;
  return st.st_ino;
}

bool Exists(const std::string& path) {
  struct stat st {};
  return ::lstat(path.c_str(), &st) == 0 || errno != ENOENT;
}

// Removes a temporary file when it goes out of scope, unless it was given its name.
class TempFile {
 public:
  explicit TempFile(std::string path) : path_(std::move(path)) {}
  ~TempFile() {
    if (!path_.empty()) ::unlink(path_.c_str());
  }
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;
  const std::string& path() const { return path_; }
  void Placed() { path_.clear(); }

 private:
  std::string path_;
};

// Writes the bytes and names the finished temporary file after the target.
Result<std::string> FinishedTemp(const std::string& native, const std::string& stored,
                                 std::string_view bytes, std::string_view tag_extra) {
  auto tmp = WriteTempFile(native, bytes);
  if (!tmp) return Problem{stored, 0, 0, tmp.problem().what};
  auto done = MarkFinished(tmp.value(), tag_extra, native);
  if (!done) return Problem{stored, 0, 0, done.problem().what};
  return done;
}

// Removes the file at the path when it is still the one this save placed.
void RemoveOwn(const std::string& path, ino_t ino) {
  if (InodeOf(path) == ino) ::unlink(path.c_str());
}

// Holds the directory's lock while it lives, so that two programs never finish the same
// left files at once. Saves themselves do not take it. A directory that cannot be locked
// is worked on all the same.
class DirectoryLock {
 public:
  explicit DirectoryLock(const std::string& dir)
      : fd_(::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {
    if (fd_ >= 0) {
      while (::flock(fd_, LOCK_EX) != 0 && errno == EINTR) {
      }
    }
  }
  ~DirectoryLock() {
    if (fd_ >= 0) ::close(fd_);  // closing releases the lock
  }
  DirectoryLock(const DirectoryLock&) = delete;
  DirectoryLock& operator=(const DirectoryLock&) = delete;

 private:
  int fd_;
};

// One finished temporary file of a stopped program.
struct LeftFile {
  std::string name;
  TempFileName parts;
};

std::vector<LeftFile> FinishedTempsOfStopped(const std::string& dir) {
  std::vector<LeftFile> out;
  DIR* d = ::opendir(dir.c_str());
  if (d == nullptr) return out;
  while (const dirent* e = ::readdir(d)) {
    auto parts = ParseTempName(e->d_name);
    if (!parts || parts->target.empty() || !WriterStopped(parts->pid)) continue;
    out.push_back({e->d_name, std::move(*parts)});
  }
  ::closedir(d);
  // Per-sample files first: a summary is given its name only beside its own per-sample file.
  std::stable_partition(out.begin(), out.end(),
                        [](const LeftFile& f) { return EndsWith(f.parts.target, kCsvEnd); });
  return out;
}

std::string Who(long pid) {
  return "a save of process " + std::to_string(pid) + ", which was stopped,";
}

// Keeps a finished file that cannot take its name under "<name>.unfinished-<pid>".
Problem SetAside(const std::string& dir, const LeftFile& f, const std::string& why) {
  const std::string from = dir + "/" + f.name;
  const std::string kept =
      dir + "/" + f.parts.target + ".unfinished-" + std::to_string(f.parts.pid);
  auto placed = PlaceNoReplace(from, kept);
  if (placed && placed.value() == Placed::kPlaced) {
    return {kept, 0, 0,
            Who(f.parts.pid) + " left this file for " + f.parts.target + ", which " + why +
                "; it was kept under this name"};
  }
  return {from, 0, 0,
          Who(f.parts.pid) + " left this file for " + f.parts.target + ", which " + why +
              "; it could not be kept under another name either, so it stays as it is"};
}

// Gives one left file its name; the notice says what became of it. `placed_csv` gets the
// per-sample files that were placed; `number_taken` is set for a per-sample file whose
// number another program took meanwhile (nothing is done with it then).
std::optional<Problem> FinishOne(const std::string& dir, const LeftFile& f,
                                 std::vector<std::string>& placed_csv, bool& number_taken) {
  const std::string& target = f.parts.target;
  const std::string from = dir + "/" + f.name;
  const std::string to = dir + "/" + target;
  std::string partner;
  if (EndsWith(target, kCsvEnd)) {
    // The save stopped before its per-sample file had its name: the pair is complete only
    // where neither name was taken since.
    partner = Partner(target, kCsvEnd, kDatEnd);
    if (Exists(dir + "/" + partner) || Exists(to)) {
      number_taken = true;
      return std::nullopt;
    }
  } else if (EndsWith(target, kDatEnd)) {
    // The save stopped between its two names: the summary goes only beside its own
    // per-sample file, known by the inode it was written with.
    partner = Partner(target, kDatEnd, kCsvEnd);
    const std::size_t at = f.parts.tag.rfind(std::string("-") + std::string(kInodeMark));
    const std::string ino_text =
        at == std::string::npos ? "" : f.parts.tag.substr(at + 1 + kInodeMark.size());
    const auto partner_ino = InodeOf(dir + "/" + partner);
    if (!partner_ino || ino_text != std::to_string(*partner_ino)) {
      return SetAside(dir, f, "has not its own per-sample file beside it");
    }
  } else {
    return std::nullopt;  // no file of a pair; it is not this code's to finish
  }
  auto placed = PlaceNoReplace(from, to);
  if (!placed) {
    if (!Exists(from)) return std::nullopt;  // another program finished it a moment ago
    return placed.problem();
  }
  const bool csv = EndsWith(target, kCsvEnd);
  if (placed.value() == Placed::kTaken) {
    number_taken = csv;
    return csv ? std::nullopt : std::optional<Problem>(SetAside(dir, f, "is taken"));
  }
  if (csv) placed_csv.push_back(target);
  return Problem{to, 0, 0,
                 Who(f.parts.pid) + " left this file unnamed; it was given its name" +
                     (EndsWith(target, kDatEnd) ? ", beside its per-sample file " + partner : "")};
}

// The summary's stroke rows begin with the stem; they are given the new one.
std::string Restamp(std::string_view summary, const std::string& old_stem,
                    const std::string& new_stem) {
  std::string out;
  std::size_t at = 0;
  while (at < summary.size()) {
    std::size_t end = summary.find('\n', at);
    end = end == std::string_view::npos ? summary.size() : end + 1;
    std::string_view line = summary.substr(at, end - at);
    if (at > 0 && line.substr(0, old_stem.size() + 1) == old_stem + ",") {
      out.append(new_stem);
      line.remove_prefix(old_stem.size());
    }
    out.append(line);
    at = end;
  }
  return out;
}

// A measurement a stopped save left whose number another program took meanwhile: it is
// saved under the next free number of the same header, its summary's rows restamped (or,
// when the summary was still being written, a summary of the header line alone).
std::vector<Problem> SaveUnderNextNumber(const std::string& dir, const LeftFile& csv,
                                         const LeftFile* dat) {
  auto aside = [&](const std::string& why) {
    std::vector<Problem> out = {SetAside(dir, csv, why)};
    if (dat != nullptr) out.push_back(SetAside(dir, *dat, why));
    return out;
  };
  const std::string stem = Partner(csv.parts.target, kCsvEnd, "");
  const std::size_t digits = stem.find_last_not_of("0123456789") + 1;  // npos + 1 is 0
  if (digits == stem.size()) return aside("is taken, and its stem ends in no number");
  const std::string head = stem.substr(0, digits);
  auto summary = dat != nullptr ? ReadFileBytes(dir + "/" + dat->name)
                                : Utf8ToShiftJis(std::string(SummaryHeader()) + "\r\n");
  auto old_sjis = Utf8ToShiftJis(stem);
  if (!summary || !old_sjis) return aside("is taken, and its summary cannot be read");
  const std::string csv_from = dir + "/" + csv.name;
  std::string org = stem.substr(digits);
  for (int tries = 0; tries < kMaxRenumber; ++tries) {
    org = PlainForm(Val(org) + 1.0);
    const std::string new_stem = ComposeNames("", head, org).BaseName;
    const std::string csv_to = dir + "/" + new_stem + std::string(kCsvEnd);
    const std::string dat_to = dir + "/" + new_stem + std::string(kDatEnd);
    auto new_sjis = Utf8ToShiftJis(new_stem);
    if (!new_sjis || Exists(csv_to) || Exists(dat_to)) continue;
    // The summary is finished under its temporary name first, as a save does, so that a
    // stop from here on leaves what the next recovery completes.
    const auto ino = InodeOf(csv_from);
    if (!ino) return {};  // another program saved it a moment ago
    auto done =
        FinishedTemp(dat_to, dat_to, Restamp(summary.value(), old_sjis.value(), new_sjis.value()),
                     std::string(kInodeMark) + std::to_string(*ino));
    if (!done) return {done.problem()};
    TempFile dat_tmp(done.value());
    auto placed = PlaceNoReplace(csv_from, csv_to);
    if (!placed) {
      if (!Exists(csv_from)) return {};
      return {placed.problem()};
    }
    if (placed.value() == Placed::kTaken) continue;
    auto dat_placed = PlaceNoReplace(dat_tmp.path(), dat_to);
    if (!dat_placed || dat_placed.value() == Placed::kTaken) {
      ::rename(csv_to.c_str(), csv_from.c_str());  // back under its own temporary name
      if (!dat_placed) return {dat_placed.problem()};
      continue;
    }
    dat_tmp.Placed();
    if (dat != nullptr) ::unlink((dir + "/" + dat->name).c_str());
    return {Problem{csv_to, 0, 0,
                    Who(csv.parts.pid) + " left this measurement for " + stem +
                        ", a number another program has taken since; it was saved as " + new_stem +
                        (dat != nullptr ? "" : " with a summary of the header line alone")}};
  }
  return aside("is taken, and no free number was found after it");
}

// Makes a summary of the header line alone for the per-sample file `csv_name`, unless its
// summary exists or is on its way (a finished temporary file of any program names it).
std::optional<Problem> MendOne(const std::string& dir, const std::string& csv_name) {
  const std::string dat_name = Partner(csv_name, kCsvEnd, kDatEnd);
  const std::string csv = dir + "/" + csv_name;
  const std::string dat = dir + "/" + dat_name;
  // A writer between its two names holds the summary as a finished temporary file, and
  // gives it its name atomically: looking for the temporary first, then for the name,
  // never misses both.
  if (DIR* d = ::opendir(dir.c_str())) {
    bool coming = false;
    while (const dirent* e = ::readdir(d)) {
      auto parts = ParseTempName(e->d_name);
      coming |= parts && parts->target == dat_name;
    }
    ::closedir(d);
    if (coming) return std::nullopt;
  }
  if (Exists(dat)) return std::nullopt;
  const std::string header = std::string(SummaryHeader()) + "\r\n";
  auto samples = ReadShiftJisFile(csv);
  std::optional<Problem> why;
  if (!samples) {
    why = samples.problem();
  } else if (auto read = ReadDataTexts(header, samples.value(), dat, csv); !read) {
    why = read.problem();
  } else {
    auto bytes = Utf8ToShiftJis(header);
    auto tmp = bytes ? WriteTempFile(dat, bytes.value()) : Result<std::string>(bytes.problem());
    if (!tmp) return tmp.problem();
    TempFile guard(tmp.value());
    auto placed = PlaceNoReplace(guard.path(), dat);
    if (!placed) return placed.problem();
    if (placed.value() == Placed::kTaken) return std::nullopt;  // written meanwhile
    guard.Placed();
    const LoadedData& d = *read.value();
    return Problem{dat, 0, 0,
                   "the per-sample file " + csv_name +
                       " had no summary file; this one was made for it, holding the header "
                       "line alone, so the measuring condition is read from the per-sample file (" +
                       PlainForm(d.record.DataNum) + " samples at " +
                       PlainForm(d.record.SampInterval) + " msec)"};
  }
  return Problem{csv, 0, 0,
                 "has no summary file, and none can be made from it, so Data View does not list "
                 "it: " +
                     why->Describe()};
}

}  // namespace

Result<Placed> CreatePair(const ComposedNames& names, std::string_view csv_bytes,
                          std::string_view dat_bytes) {
  const std::string csv_native = ToNativePath(names.CsvFilePath);
  const std::string dat_native = ToNativePath(names.DatFilePath);
  auto csv_done = FinishedTemp(csv_native, names.CsvFilePath, csv_bytes, "");
  if (!csv_done) return csv_done.problem();
  TempFile csv_tmp(csv_done.value());
  const auto ino = InodeOf(csv_tmp.path());
  if (!ino) return Problem{names.CsvFilePath, 0, 0, "its temporary file vanished while saving"};
  auto dat_done = FinishedTemp(dat_native, names.DatFilePath, dat_bytes,
                               std::string(kInodeMark) + std::to_string(*ino));
  if (!dat_done) return dat_done.problem();
  TempFile dat_tmp(dat_done.value());
  const auto dat_ino = InodeOf(dat_tmp.path());

  auto csv_placed = PlaceNoReplace(csv_tmp.path(), csv_native);
  if (!csv_placed) return Problem{names.CsvFilePath, 0, 0, csv_placed.problem().what};
  if (csv_placed.value() == Placed::kTaken) return Placed::kTaken;
  csv_tmp.Placed();
  auto dat_placed = PlaceNoReplace(dat_tmp.path(), dat_native);
  if (!dat_placed || dat_placed.value() == Placed::kTaken) RemoveOwn(csv_native, *ino);
  if (!dat_placed) return Problem{names.DatFilePath, 0, 0, dat_placed.problem().what};
  if (dat_placed.value() == Placed::kTaken) return Placed::kTaken;
  dat_tmp.Placed();
  if (Status s = SyncDirectory(DirectoryOf(dat_native)); !s) {
    if (dat_ino) RemoveOwn(dat_native, *dat_ino);
    RemoveOwn(csv_native, *ino);
    return Problem{names.DatFilePath, 0, 0, s.problem().what};
  }
  return Placed::kPlaced;
}

std::vector<Problem> FinishLeftPairs(const std::string& native_dir) {
  const DirectoryLock lock(native_dir);
  std::vector<Problem> out = RemoveLeftoverTemps(native_dir);
  std::vector<std::string> placed_csv;
  const std::vector<LeftFile> left = FinishedTempsOfStopped(native_dir);
  std::set<std::string> done;  // summaries saved with their per-sample file
  for (const LeftFile& f : left) {
    if (done.count(f.name) != 0) continue;
    bool number_taken = false;
    if (auto p = FinishOne(native_dir, f, placed_csv, number_taken)) out.push_back(std::move(*p));
    if (!number_taken) continue;
    const std::string summary_name = Partner(f.parts.target, kCsvEnd, kDatEnd);
    auto summary = std::find_if(left.begin(), left.end(), [&](const LeftFile& g) {
      return g.parts.pid == f.parts.pid && g.parts.target == summary_name;
    });
    const LeftFile* dat = summary == left.end() ? nullptr : &*summary;
    if (dat != nullptr) done.insert(dat->name);
    std::vector<Problem> saved = SaveUnderNextNumber(native_dir, f, dat);
    out.insert(out.end(), saved.begin(), saved.end());
  }
  // A per-sample file whose summary was still being written when its program stopped.
  for (const std::string& csv : placed_csv) {
    if (auto p = MendOne(native_dir, csv)) out.push_back(std::move(*p));
  }
  if (!left.empty()) {
    if (Status s = SyncDirectory(native_dir); !s) out.push_back(s.problem());
  }
  return out;
}

std::vector<Problem> MendLonePerSampleFiles(const std::string& native_dir) {
  const DirectoryLock lock(native_dir);
  std::vector<Problem> out;
  std::set<std::string> names;
  if (DIR* d = ::opendir(native_dir.c_str())) {
    while (const dirent* e = ::readdir(d)) names.insert(e->d_name);
    ::closedir(d);
  }
  for (const std::string& name : names) {
    if (!EndsWith(name, kCsvEnd) || name.size() == kCsvEnd.size() || ParseTempName(name)) continue;
    if (names.count(Partner(name, kCsvEnd, kDatEnd)) != 0) continue;
    struct stat st {};
    if (::lstat((native_dir + "/" + name).c_str(), &st) != 0 || !S_ISREG(st.st_mode)) continue;
    if (auto p = MendOne(native_dir, name)) out.push_back(std::move(*p));
  }
  return out;
}

std::vector<Problem> RecoverSaveDirectory(const std::string& native_dir) {
  std::vector<Problem> out = FinishLeftPairs(native_dir);
  std::vector<Problem> mended = MendLonePerSampleFiles(native_dir);
  out.insert(out.end(), mended.begin(), mended.end());
  std::vector<Problem> trials = CompleteLeftTrials(native_dir);
  out.insert(out.end(), trials.begin(), trials.end());
  return out;
}

std::vector<Problem> RecoverSaveDirectories(std::string_view auto_dir,
                                            std::string_view manual_dir) {
  std::vector<Problem> out;
  std::set<std::string> done;
  for (std::string_view dir : {auto_dir, manual_dir}) {
    const std::string native = dir.empty() ? "." : ToNativePath(dir);
    if (!done.insert(native).second) continue;
    std::vector<Problem> found = RecoverSaveDirectory(native);
    out.insert(out.end(), found.begin(), found.end());
  }
  return out;
}

}  // namespace velquor
