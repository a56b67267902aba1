#include "common/output_target.h"

#include <sys/stat.h>

#include <cerrno>

#include "common/text_file.h"

namespace velquor {
namespace {

const char* KindOf(mode_t mode) {
  if (S_ISDIR(mode)) return "a directory";
  if (S_ISCHR(mode)) return "a character device";
  if (S_ISBLK(mode)) return "a block device";
  if (S_ISFIFO(mode)) return "a FIFO";
  if (S_ISSOCK(mode)) return "a socket";
  return "not a regular file";
}

}  // namespace

Status CheckOutputTarget(const std::string& native_path, const std::vector<std::string>& inputs) {
  struct stat here {};
  if (::lstat(native_path.c_str(), &here) != 0) {
    const int err = errno;
    if (err == ENOENT || err == ENOTDIR) return Status::Ok();  // the write says what is wrong
    return Problem{native_path, 0, 0, "cannot be examined: " + ErrnoText(err)};
  }
  struct stat target = here;
  const bool link = S_ISLNK(here.st_mode);
  if (link && ::stat(native_path.c_str(), &target) != 0) {
    const int err = errno;
    if (err == ENOENT) return Status::Ok();  // a dangling link holds nothing to lose
    return Problem{native_path, 0, 0, "is a link that cannot be followed: " + ErrnoText(err)};
  }
  if (!S_ISREG(target.st_mode)) {
    return Problem{native_path, 0, 0,
                   std::string(link ? "is a link to " : "is ") + KindOf(target.st_mode) +
                       "; only a regular file is ever written over, so nothing was written"};
  }
  for (const std::string& input : inputs) {
    struct stat in {};
    if (::stat(input.c_str(), &in) == 0 && in.st_dev == target.st_dev &&
        in.st_ino == target.st_ino) {
      return Problem{native_path, 0, 0,
                     "is a file being read (" + input + "); it is never written over"};
    }
  }
  return Status::Ok();
}

}  // namespace velquor
