#include "files/set_aside.h"

#include <stdio.h>
#include <sys/stat.h>

#include <cerrno>

#include "common/path_map.h"
#include "common/text_file.h"

namespace velquor {
namespace {

constexpr int kMaxKeptCopies = 1000;

}  // namespace

bool PresentAt(const std::string& path) {
  struct stat st {};
  return ::lstat(ToNativePath(path).c_str(), &st) == 0 || (errno != ENOENT && errno != ENOTDIR);
}

SetAside SetAsideUnreadable(const std::string& path, const std::string& why) {
  const std::string native = ToNativePath(path);
  for (int n = 1; n <= kMaxKeptCopies; ++n) {
    const std::string suffix = ".unreadable" + (n == 1 ? std::string() : "." + std::to_string(n));
    if (PresentAt(path + suffix)) continue;
    if (::rename(native.c_str(), (native + suffix).c_str()) != 0) {
      const int err = errno;
      return {false, Problem{path, 0, 0,
                             why + "; it could not be renamed to " + path + suffix + " (" +
                                 ErrnoText(err) + "), so it is left as it is and not written"}};
    }
    return {true, Problem{path, 0, 0,
                          why + "; it was kept as " + path + suffix + " and a new " + path +
                              " will be written in its place"}};
  }
  return {false, Problem{path, 0, 0,
                         why + "; too many kept copies, so it is left as it is and not written"}};
}

bool KeepUnreadable(const std::optional<Problem>& unreadable, bool set_aside,
                    std::vector<Problem>& notices) {
  if (!unreadable) return true;
  if (!set_aside) {
    notices.push_back(*unreadable);
    return true;
  }
  SetAside done = SetAsideUnreadable(unreadable->file, unreadable->what);
  // Where in the file it went wrong, when that is known.
  done.notice.line = unreadable->line;
  done.notice.field = unreadable->field;
  notices.push_back(done.notice);
  return done.kept;
}

}  // namespace velquor
