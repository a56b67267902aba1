// Saving a measurement: the one path every program saves a pair through, which never replaces
// an existing pair unasked and, when anything fails, changes neither file.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "analysis/series.h"
#include "common/result.h"
#include "files/naming.h"
#include "files/save_stamp.h"
#include "record/record.h"

namespace velquor {

// What a save does when a file of its pair already exists.
enum class WhenTaken {
  kNextFreeNumber,  // move on to the next number whose pair is free (automatic saving)
  kRefuse,          // fail and say so; the caller may ask and save again with kReplace
  kReplace,         // the operator said the old pair may go
};

// What was written where.
struct PairSaved {
  ComposedNames names;        // the pair as written
  std::string requestedStem;  // the stem asked for; differs from names.BaseName when renumbered
  std::string usedOrg;        // the number text the pair was saved under
  bool renumbered = false;    // the asked-for name was taken
  bool replaced = false;      // an existing pair was replaced (kReplace only)
  // What was repaired in the directory first (pairs that stopped programs left unfinished),
  // and temporary files that could not be removed.
  std::vector<Problem> notices;

  // "Saved D and C", preceded by "RUN0000012 exists; saved as RUN0000013: " when renumbered.
  std::string Describe() const;
};

// Whether either file of the pair exists (a dangling link counts); a problem when a path
// cannot be examined (no search permission, a link loop, a name too long).
Result<bool> PairTaken(const ComposedNames& names);

// The set's number, or the first after it (Val + 1 each step) whose pair is free; a problem
// when a path cannot be examined or no number is free.
Result<std::string> FreeNumber(const NamingSet& set);

// Writes the per-sample file and then the summary file under the given names. A new pair is
// created without replacing anything, so a name another program takes meanwhile is refused
// like one taken before; kReplace replaces an existing pair by renaming over it. Nothing is
// written when the stem would shift the summary row, the record cannot be saved (DataNum
// not a whole number 0..2000, StrokeCount outside 0..3), a text has no Shift_JIS form, a
// name is taken (unless kReplace) or names one of `never_write` (native paths, compared as
// files). kNextFreeNumber is treated as kRefuse here: the names carry no number.
Result<PairSaved> WriteDataFiles(const ComposedNames& names, std::string_view note,
                                 const MeasurementRecord& rec, const DerivedSeries& series,
                                 const StrokeResults& strokes, const SaveStamp& stamp,
                                 WhenTaken when_taken,
                                 const std::vector<std::string>& never_write = {});

// MakeFileNames with the save flag, then WriteDataFiles with the current set's names and
// note. With kNextFreeNumber a taken name, or one another program takes while this pair is
// written, moves the number on (Val + 1, as AdvanceFileNumber does) until a pair is created,
// and the set's number becomes the one used, so that
// AdvanceFileNumber afterwards gives the next number. Touches nothing but its arguments and
// the files, so it may run on any thread.
Result<PairSaved> SaveDataFiles(FileNaming& naming, int save_flag, const MeasurementRecord& rec,
                                const DerivedSeries& series, const StrokeResults& strokes,
                                const SaveStamp& stamp, WhenTaken when_taken);

}  // namespace velquor
