#include "files/data_files.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <optional>

#include "common/number_parse.h"
#include "common/number_text.h"
#include "common/output_target.h"
#include "common/path_map.h"
#include "common/shift_jis.h"
#include "common/text_file.h"
#include "files/data_file_text.h"
#include "files/naming_rules.h"
#include "files/pair_files.h"

namespace velquor {
namespace {

// More taken numbers in a row than this means something other than earlier saves is at work.
constexpr int kMaxRenumber = 10000;

constexpr const char* kNotSaved = "; the pair was not saved";

Result<std::string> Encode(const std::string& path, const std::string& utf8) {
  auto bytes = Utf8ToShiftJis(utf8);
  if (!bytes) return Problem{path, 0, 0, "cannot be saved: " + bytes.problem().what};
  return bytes;
}

std::optional<std::string> CheckSavable(const MeasurementRecord& rec, const StrokeResults& s) {
  const double n = rec.DataNum;
  if (!std::isfinite(n) || n != std::floor(n) || n < 0 || n > kMaxSamples) {
    return "the measurement holds Data Number " + PlainForm(rec.DataNum) +
           ", which is not a whole number from 0 to 2000";
  }
  if (s.StrokeCount < 0 || s.StrokeCount > 3) {
    return "the stroke count " + std::to_string(s.StrokeCount) + " is outside 0..3";
  }
  return std::nullopt;
}

// Whether something stands at the path (not following a last link); a problem when the
// path cannot be examined.
Result<bool> Exists(const std::string& stored) {
  struct stat st {};
  if (::lstat(ToNativePath(stored).c_str(), &st) == 0) return true;
  // A missing directory is no taken name; the write then says what is wrong.
  const int err = errno;
  if (err == ENOENT || err == ENOTDIR) return false;
  return Problem{stored, 0, 0, "cannot be examined: " + ErrnoText(err)};
}

bool SameFile(const std::string& a_native, const std::string& b_native) {
  struct stat a {
  }, b{};
  return ::stat(a_native.c_str(), &a) == 0 && ::stat(b_native.c_str(), &b) == 0 &&
         a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Puts back what stood at the path before a save (the bytes it replaced), or removes the
// file the save made when nothing stood there.
Status Undo(const std::string& native, const std::optional<std::string>& previous) {
  if (previous) return WriteFileAtomic(native, *previous);
  if (::unlink(native.c_str()) != 0) {
    const int err = errno;
    if (err != ENOENT) return Problem{native, 0, 0, "cannot be removed: " + ErrnoText(err)};
  }
  return Status::Ok();
}

// Both texts of a pair, in Shift_JIS, once the names and the record were found savable.
struct PairBytes {
  std::string dat;
  std::string csv;
};

Result<PairBytes> ComposePair(const ComposedNames& names, std::string_view note,
                              const MeasurementRecord& rec, const DerivedSeries& series,
                              const StrokeResults& strokes, const SaveStamp& stamp,
                              const std::vector<std::string>& never_write) {
  if (auto why = StemFault(names.BaseName)) return Problem{names.DatFilePath, 0, 0, *why};
  if (auto why = NoteFault(note)) return Problem{names.DatFilePath, 0, 0, *why + kNotSaved};
  if (auto why = CheckSavable(rec, strokes)) return Problem{names.DatFilePath, 0, 0, *why};
  for (const std::string& keep : never_write) {
    for (const std::string* stored : {&names.DatFilePath, &names.CsvFilePath}) {
      if (SameFile(ToNativePath(*stored), keep)) {
        return Problem{*stored, 0, 0, "is the file being read; it is never written over"};
      }
    }
  }
  auto dat = Encode(names.DatFilePath, SummaryFileText(names.BaseName, note, rec, strokes, stamp));
  if (!dat) return dat.problem();
  auto csv = Encode(names.CsvFilePath, SampleFileText(rec, series));
  if (!csv) return csv.problem();
  return PairBytes{std::move(dat.value()), std::move(csv.value())};
}

// Creates the pair without replacing anything; no value when either name was taken, by an
// earlier pair or by another program a moment ago. What stopped programs left in the
// directory is finished first.
Result<std::optional<PairSaved>> CreateNewPair(const ComposedNames& names, const PairBytes& b) {
  PairSaved out;
  out.names = names;
  out.requestedStem = names.BaseName;
  out.notices = FinishLeftPairs(DirectoryOf(ToNativePath(names.DatFilePath)));
  auto placed = CreatePair(names, b.csv, b.dat);
  if (!placed) return placed.problem();
  if (placed.value() == Placed::kTaken) return std::optional<PairSaved>();
  return std::optional<PairSaved>(std::move(out));
}

// Replaces the pair the operator agreed to give up, the per-sample file first. What it
// replaces is kept, so that a failed summary can undo it.
// Moves the old summary out of its name, to a temporary name of this process that a later
// save removes once this process is gone. Nothing when there is no old summary.
Result<std::optional<std::string>> SetOldSummaryAside(const std::string& dat_native) {
  struct stat st {};
  if (::lstat(dat_native.c_str(), &st) != 0) {
    if (errno == ENOENT) return std::optional<std::string>{};
    return Problem{dat_native, 0, 0, "cannot be examined: " + ErrnoText(errno)};
  }
  auto aside = WriteTempFile(dat_native, "");  // reserves a name of this process
  if (!aside) return aside.problem();
  if (::rename(dat_native.c_str(), aside.value().c_str()) != 0) {
    const int err = errno;
    ::unlink(aside.value().c_str());
    return Problem{dat_native, 0, 0, "cannot be moved out of the way: " + ErrnoText(err)};
  }
  return std::optional<std::string>{aside.value()};
}

// Replaces a pair the operator said may go. Both new files are written before anything is
// touched; then the old summary is set aside, the per-sample file replaced and the summary
// named. A kill between those steps leaves a per-sample file alone, which the next start
// gives a summary of its own, and never one measurement's summary beside another's samples.
Result<PairSaved> ReplacePair(const ComposedNames& names, const PairBytes& b) {
  const std::string dat_native = ToNativePath(names.DatFilePath);
  const std::string csv_native = ToNativePath(names.CsvFilePath);
  PairSaved out;
  out.names = names;
  out.requestedStem = names.BaseName;
  out.replaced = true;
  out.notices = FinishLeftPairs(DirectoryOf(dat_native));
  std::optional<std::string> previous_csv;
  if (auto old = ReadFileBytes(csv_native)) previous_csv = std::move(old.value());
  auto csv_tmp = WriteTempFile(csv_native, b.csv);
  if (!csv_tmp) return Problem{names.CsvFilePath, 0, 0, csv_tmp.problem().what};
  auto dat_tmp = WriteTempFile(dat_native, b.dat);
  if (!dat_tmp) {
    ::unlink(csv_tmp.value().c_str());
    return Problem{names.DatFilePath, 0, 0, dat_tmp.problem().what};
  }
  auto aside = SetOldSummaryAside(dat_native);
  // Puts the old summary back after a failed step, naming what could not be undone.
  auto fail = [&](const std::string& stored, std::string what) -> Result<PairSaved> {
    ::unlink(csv_tmp.value().c_str());
    ::unlink(dat_tmp.value().c_str());
    if (aside && aside.value() && ::rename(aside.value()->c_str(), dat_native.c_str()) != 0) {
      what += "; the old summary could not be put back from " + *aside.value() + ": " +
              ErrnoText(errno);
    }
    return Problem{stored, 0, 0, what};
  };
  if (!aside) return fail(names.DatFilePath, aside.problem().what);
  if (Status s = CheckOutputTarget(csv_native); !s)
    return fail(names.CsvFilePath, s.problem().what);
  if (::rename(csv_tmp.value().c_str(), csv_native.c_str()) != 0) {
    return fail(names.CsvFilePath, "cannot replace: " + ErrnoText(errno));
  }
  if (::rename(dat_tmp.value().c_str(), dat_native.c_str()) != 0) {
    std::string what = "cannot replace: " + ErrnoText(errno);
    if (Status back = Undo(csv_native, previous_csv); !back) {
      what += "; the per-sample file could not be put back either: " + back.problem().what;
    }
    return fail(names.DatFilePath, what);
  }
  if (aside.value()) ::unlink(aside.value()->c_str());
  if (Status s = SyncDirectory(DirectoryOf(dat_native)); !s) {
    out.notices.push_back(s.problem());
  }
  return out;
}

}  // namespace

Result<std::string> FreeNumber(const NamingSet& set) {
  std::string org = set.Org;
  for (int tries = 0;; ++tries) {
    const ComposedNames names = ComposeNames(set.Dir, set.Head, org);
    auto taken = PairTaken(names);
    if (!taken) return taken.problem();
    if (!taken.value()) return org;
    const std::string next = PlainForm(Val(org) + 1.0);
    if (tries >= kMaxRenumber || next == org) {
      return Problem{names.DatFilePath, 0, 0,
                     "no free file number was found after it; nothing was written"};
    }
    org = next;
  }
}

std::string PairSaved::Describe() const {
  // Named as this system writes paths; they are composed with "\".
  const std::string files =
      ToNativePath(names.DatFilePath) + " and " + ToNativePath(names.CsvFilePath);
  if (renumbered) return requestedStem + " exists; saved as " + names.BaseName + ": " + files;
  return (replaced ? "Replaced " : "Saved ") + files;
}

Result<bool> PairTaken(const ComposedNames& names) {
  for (const std::string* path : {&names.DatFilePath, &names.CsvFilePath}) {
    auto e = Exists(*path);
    if (!e || e.value()) return e;
  }
  return false;
}

Result<PairSaved> WriteDataFiles(const ComposedNames& names, std::string_view note,
                                 const MeasurementRecord& rec, const DerivedSeries& series,
                                 const StrokeResults& strokes, const SaveStamp& stamp,
                                 WhenTaken when_taken,
                                 const std::vector<std::string>& never_write) {
  auto texts = ComposePair(names, note, rec, series, strokes, stamp, never_write);
  if (!texts) return texts.problem();
  auto taken = PairTaken(names);
  if (!taken) return taken.problem();
  if (taken.value() && when_taken == WhenTaken::kReplace) return ReplacePair(names, texts.value());
  auto saved = taken.value() ? Result<std::optional<PairSaved>>(std::nullopt)
                             : CreateNewPair(names, texts.value());
  if (!saved) return saved.problem();
  if (!saved.value()) {
    return Problem{names.DatFilePath, 0, 0,
                   "the pair " + names.BaseName +
                       " exists already; it was not replaced and nothing was written"};
  }
  return std::move(*saved.value());
}

Result<PairSaved> SaveDataFiles(FileNaming& naming, int save_flag, const MeasurementRecord& rec,
                                const DerivedSeries& series, const StrokeResults& strokes,
                                const SaveStamp& stamp, WhenTaken when_taken) {
  MakeFileNames(naming, save_flag);
  NamingSet& set = save_flag == 1 ? naming.Manual : naming.Auto;
  const std::string requested = naming.BaseName;
  const std::string asked_org = set.Org;
  auto fail = [&](Problem p) -> Result<PairSaved> {
    set.Org = asked_org;  // nothing was saved, so the number stays
    MakeFileNames(naming, save_flag);
    return p;
  };
  if (auto why = NameFault(set)) return fail(Problem{naming.DatFilePath, 0, 0, *why + kNotSaved});
  auto done = [&](PairSaved saved) -> Result<PairSaved> {
    saved.requestedStem = requested;
    saved.renumbered = requested != saved.names.BaseName;
    saved.usedOrg = set.Org;
    return saved;
  };
  if (when_taken != WhenTaken::kNextFreeNumber || StemFault(requested)) {
    const ComposedNames names{naming.BaseName, naming.DatFilePath, naming.CsvFilePath};
    auto saved = WriteDataFiles(names, naming.NoteText, rec, series, strokes, stamp, when_taken);
    if (!saved) return fail(saved.problem());
    return done(std::move(saved.value()));
  }
  // Another program may take a free number between the look and the write; the pair then
  // moves on to the next free one.
  std::vector<Problem> notices;
  for (int tries = 0;; ++tries) {
    auto org = FreeNumber(set);
    if (!org) return fail(org.problem());
    set.Org = org.value();
    MakeFileNames(naming, save_flag);
    const ComposedNames names{naming.BaseName, naming.DatFilePath, naming.CsvFilePath};
    auto texts = ComposePair(names, naming.NoteText, rec, series, strokes, stamp, {});
    if (!texts) return fail(texts.problem());
    auto saved = CreateNewPair(names, texts.value());
    if (!saved) return fail(saved.problem());
    if (saved.value()) {
      PairSaved& out = *saved.value();
      out.notices.insert(out.notices.begin(), notices.begin(), notices.end());
      return done(std::move(out));
    }
    const std::string next = PlainForm(Val(set.Org) + 1.0);
    if (tries >= kMaxRenumber || next == set.Org) {
      return fail(Problem{names.DatFilePath, 0, 0,
                          "no free file number was found after it; nothing was written"});
    }
    set.Org = next;
  }
}

}  // namespace velquor
