// The small I/O layer under every file the program touches: read a Shift_JIS text file
// into UTF-8, and write UTF-8 text as Shift_JIS through a temporary file and a rename.
#pragma once

#include <string>
#include <string_view>

#include "common/result.h"

namespace velquor {

// Reads the whole file (native path) as bytes.
Result<std::string> ReadFileBytes(const std::string& native_path);
// Writes the bytes to a temporary file in the target's directory, then renames it over the
// target, so no reader ever sees a half-written file. On failure nothing is left behind.
// Without `replace`, a target that exists is left as it is and the write is refused.
Status WriteFileAtomic(const std::string& native_path, std::string_view bytes, bool replace = true);

// Reads a Shift_JIS text file and gives its text in UTF-8.
Result<std::string> ReadShiftJisFile(const std::string& native_path);
// Encodes UTF-8 text as Shift_JIS and writes it atomically.
Status WriteShiftJisFile(const std::string& native_path, std::string_view utf8);

}  // namespace velquor
