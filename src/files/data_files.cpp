#include "files/data_files.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <optional>

#include "common/number_parse.h"
#include "common/number_text.h"
#include "common/path_map.h"
#include "common/shift_jis.h"
#include "common/text_file.h"
#include "files/data_file_text.h"
#include "files/naming_rules.h"

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

// The set's number, or the first after it (Val + 1 each step) whose pair is free.
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

}  // namespace

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
  if (auto why = StemFault(names.BaseName)) return Problem{names.DatFilePath, 0, 0, *why};
  if (auto why = NoteFault(note)) return Problem{names.DatFilePath, 0, 0, *why + kNotSaved};
  if (auto why = CheckSavable(rec, strokes)) return Problem{names.DatFilePath, 0, 0, *why};
  const std::string dat_native = ToNativePath(names.DatFilePath);
  const std::string csv_native = ToNativePath(names.CsvFilePath);
  for (const std::string& keep : never_write) {
    for (const auto& [native, stored] :
         {std::pair{&dat_native, &names.DatFilePath}, std::pair{&csv_native, &names.CsvFilePath}}) {
      if (SameFile(*native, keep)) {
        return Problem{*stored, 0, 0, "is the file being read; it is never written over"};
      }
    }
  }
  auto taken = PairTaken(names);
  if (!taken) return taken.problem();
  if (taken.value() && when_taken != WhenTaken::kReplace) {
    return Problem{names.DatFilePath, 0, 0,
                   "the pair " + names.BaseName +
                       " exists already; it was not replaced and nothing was written"};
  }
  auto dat = Encode(names.DatFilePath, SummaryFileText(names.BaseName, note, rec, strokes, stamp));
  if (!dat) return dat.problem();
  auto csv = Encode(names.CsvFilePath, SampleFileText(rec, series));
  if (!csv) return csv.problem();

  PairSaved out;
  out.names = names;
  out.requestedStem = names.BaseName;
  out.replaced = taken.value();
  out.notices = RemoveLeftoverTemps(DirectoryOf(dat_native));
  // The per-sample file goes in place first: a summary that can be listed always has its
  // partner. What it replaces is kept, so that a failed summary can undo it.
  std::optional<std::string> previous_csv;
  if (out.replaced) {
    if (auto old = ReadFileBytes(csv_native)) previous_csv = std::move(old.value());
  }
  if (Status s = WriteFileAtomic(csv_native, csv.value()); !s) {
    return Problem{names.CsvFilePath, 0, 0, s.problem().what};
  }
  if (Status s = WriteFileAtomic(dat_native, dat.value()); !s) {
    std::string what = s.problem().what;
    if (Status back = Undo(csv_native, previous_csv); !back) {
      what += "; the per-sample file could not be put back either: " + back.problem().what;
    }
    return Problem{names.DatFilePath, 0, 0, what};
  }
  return out;
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
  if (when_taken == WhenTaken::kNextFreeNumber && !StemFault(requested)) {
    auto org = FreeNumber(set);
    if (!org) return fail(org.problem());
    set.Org = org.value();
    MakeFileNames(naming, save_flag);
  }
  const ComposedNames names{naming.BaseName, naming.DatFilePath, naming.CsvFilePath};
  const WhenTaken write_rule =
      when_taken == WhenTaken::kNextFreeNumber ? WhenTaken::kRefuse : when_taken;
  auto saved = WriteDataFiles(names, naming.NoteText, rec, series, strokes, stamp, write_rule);
  if (!saved) return fail(saved.problem());
  saved.value().requestedStem = requested;
  saved.value().renumbered = requested != names.BaseName;
  saved.value().usedOrg = set.Org;
  return saved;
}

}  // namespace velquor
