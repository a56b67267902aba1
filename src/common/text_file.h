// The small I/O layer under every file the program touches: read a Shift_JIS text file
// into UTF-8, and write UTF-8 text as Shift_JIS through a temporary file and a rename.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "common/result.h"

namespace velquor {

// No file the program writes comes near this size (a full per-sample file is about 1 MB);
// anything larger is refused before it is read.
inline constexpr std::size_t kMaxReadBytes = 4u << 20;

// Reads the whole file (native path) as bytes. Only a regular file is read: a directory,
// FIFO or device is refused at once, and so is a file larger than max_bytes.
Result<std::string> ReadFileBytes(const std::string& native_path,
                                  std::size_t max_bytes = kMaxReadBytes);
// Writes the bytes to a temporary file in the target's directory, then renames it over the
// target and syncs the directory, so no reader ever sees a half-written file and the new
// name survives a power cut. On failure nothing is left behind. Without `replace`, a target
// that exists is left as it is and the write is refused; with it, only a regular file (or a
// link to one) is replaced, never a device, FIFO, socket or directory.
Status WriteFileAtomic(const std::string& native_path, std::string_view bytes, bool replace = true);

// Removes the temporary files that a killed program left in the directory (native path):
// those of processes that no longer run. What could not be removed is returned.
std::vector<Problem> RemoveLeftoverTemps(const std::string& native_dir);
// The system's words for an errno value, safe to call from any thread.
std::string ErrnoText(int err);
// The directory part of a native path ("." when there is none).
std::string DirectoryOf(const std::string& native_path);

// Reads a Shift_JIS text file and gives its text in UTF-8.
Result<std::string> ReadShiftJisFile(const std::string& native_path);
// Encodes UTF-8 text as Shift_JIS and writes it atomically.
Status WriteShiftJisFile(const std::string& native_path, std::string_view utf8);

}  // namespace velquor
