// The small I/O layer under every file the program touches: read a Shift_JIS text file
// into UTF-8, and write UTF-8 text as Shift_JIS through a temporary file and a rename.
#pragma once

#include <cstddef>
#include <optional>
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

// A temporary file is named ".velquor-<pid>-<tag>" while it is written and, once its bytes
// are on disk and it only waits for its name, ".velquor-<pid>-<tag>=<name>".
struct TempFileName {
  long pid = 0;        // the writer's process number; 0 in the names of older builds
  std::string tag;     // what follows the process number, up to "="
  std::string target;  // the name it waits for; empty while it is being written
};
// The parts of a temporary file's name; nothing for any other name.
std::optional<TempFileName> ParseTempName(std::string_view name);
// Whether no process of this number runs any more (never true of this process).
bool WriterStopped(long pid);

// Writes the bytes to a new temporary file beside native_path, flushed to disk, and gives
// its path. On failure nothing is left behind.
Result<std::string> WriteTempFile(const std::string& native_path, std::string_view bytes);
// Renames a written temporary file to its finished name, waiting for native_target's name;
// `tag_extra` is added to its tag. Where that name would be too long for the file system the
// file keeps its name (and counts as unfinished). On failure the temporary file is removed.
Result<std::string> MarkFinished(const std::string& tmp, std::string_view tag_extra,
                                 const std::string& native_target);

enum class Placed { kPlaced, kTaken };
// Gives the file `from` the name `to` unless something stands there (kTaken, `from` kept):
// a no-replace rename, or a link where the file system has none, or where it has no links
// either, a copy into a file created only if the name is free.
Result<Placed> PlaceNoReplace(const std::string& from, const std::string& to);
// Makes the renames in a directory durable.
Status SyncDirectory(const std::string& native_dir);

// Removes the temporary files that a killed program left in the directory (native path):
// those of processes that no longer run and that were still being written. What could not
// be removed is returned.
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
