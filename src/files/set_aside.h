// Keeping a settings or calibration file that is there but cannot be read: it is renamed
// out of the way before the program writes a new one in its place.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "common/result.h"

namespace velquor {

// Whether something stands at the path (stored form), so that a failed read is a file that
// could not be read rather than one that is missing.
bool PresentAt(const std::string& path);

struct SetAside {
  bool kept = false;  // renamed; otherwise the file stands where it was: do not write over it
  Problem notice;     // names both files, or says why the file stays
};

// Renames the file to path + ".unreadable" (".unreadable.2", ... when that name is taken, so
// no earlier kept file is lost). `why` says what was wrong with it.
SetAside SetAsideUnreadable(const std::string& path, const std::string& why);

// What a program does with the problem of a file that is there but could not be read: with
// set_aside (it will write the file) the file is renamed first; the notice is added either
// way. False when the file stays where it is and must not be written over.
bool KeepUnreadable(const std::optional<Problem>& unreadable, bool set_aside,
                    std::vector<Problem>& notices);

}  // namespace velquor
