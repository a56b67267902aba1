// Creating a new pair of data files without replacing anything, and finishing the pairs that
// a program stopped in the middle of a save left behind.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "common/result.h"
#include "common/text_file.h"
#include "files/naming.h"

namespace velquor {

// Writes both files (Shift_JIS bytes) to temporary files and flushes them, then gives the
// per-sample file its name and then the summary file, each only if nothing stands there.
// kTaken when either name was taken: nothing of this save is left then. A kill at any moment
// leaves nothing, or finished temporary files that FinishLeftPairs completes.
Result<Placed> CreatePair(const ComposedNames& names, std::string_view csv_bytes,
                          std::string_view dat_bytes);

// What stopped programs left in the directory (native path): temporary files still being
// written are removed; finished ones get their names where that is safe (a per-sample file
// where neither name of its pair is taken, a summary only beside its own per-sample file),
// else they are kept as "<name>.unfinished-<pid>". Each repair is a notice naming the files.
// Temporary files of programs that still run are never touched.
std::vector<Problem> FinishLeftPairs(const std::string& native_dir);

// Per-sample files ("*_csv.csv") of the directory without their summary file: each gets a
// summary of the header line alone (the reader then takes the measuring condition from the
// per-sample file), or, when the per-sample file cannot be read, a notice saying why.
std::vector<Problem> MendLonePerSampleFiles(const std::string& native_dir);

// FinishLeftPairs, MendLonePerSampleFiles, then CompleteLeftTrials: what a program does at its
// start for each directory it saves into (native path).
std::vector<Problem> RecoverSaveDirectory(const std::string& native_dir);
// RecoverSaveDirectory for the automatic and the manual save directory (stored form, as
// File Option holds them; empty is the working directory), each once.
std::vector<Problem> RecoverSaveDirectories(std::string_view auto_dir, std::string_view manual_dir);

}  // namespace velquor
