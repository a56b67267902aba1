#include "common/text_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <optional>
#include <utility>
#include <vector>

#include "common/output_target.h"
#include "common/shift_jis.h"

namespace velquor {
namespace {

constexpr std::string_view kTempPrefix = ".velquor-";
// A temporary name without the writer's process number (older builds) counts as left over
// once it is this old; a write takes milliseconds.
constexpr std::time_t kNamelessTempAge = 60;

Problem SystemProblem(const std::string& path, const std::string& doing, int err) {
  return Problem{path, 0, 0, doing + ": " + ErrnoText(err)};
}

// Closes a descriptor when it goes out of scope.
class Fd {
 public:
  explicit Fd(int fd) : fd_(fd) {}
  ~Fd() {
    if (fd_ >= 0) ::close(fd_);
  }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  int get() const { return fd_; }
  // Hands the descriptor over, to be closed by the caller (whose close can then fail).
  int release() { return std::exchange(fd_, -1); }

 private:
  int fd_;
};

bool WriteAll(int fd, std::string_view bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    done += static_cast<std::size_t>(n);
  }
  return true;
}

bool SameInode(const std::string& a, const std::string& b) {
  struct stat sa {
  }, sb{};
  return ::lstat(a.c_str(), &sa) == 0 && ::lstat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev &&
         sa.st_ino == sb.st_ino;
}

// Whether a temporary file of this name was left by a program that no longer writes it.
// A finished one, waiting for its name, is left to whoever finishes it.
bool LeftOver(std::string_view name, const struct stat& st) {
  const std::optional<TempFileName> temp = ParseTempName(name);
  if (!temp || !temp->target.empty()) return false;
  if (temp->pid == 0) return std::time(nullptr) - st.st_mtime > kNamelessTempAge;
  return WriterStopped(temp->pid);
}

}  // namespace

std::optional<TempFileName> ParseTempName(std::string_view name) {
  if (name.substr(0, kTempPrefix.size()) != kTempPrefix) return std::nullopt;
  TempFileName out;
  std::string_view rest = name.substr(kTempPrefix.size());
  if (const std::size_t eq = rest.find('='); eq != std::string_view::npos) {
    out.target = rest.substr(eq + 1);
    rest = rest.substr(0, eq);
  }
  const std::size_t dash = rest.find('-');
  if (dash == std::string_view::npos || dash == 0) return out;  // an older build's name
  for (char c : rest.substr(0, dash)) {
    if (c < '0' || c > '9' || out.pid > 1'000'000'000) return std::nullopt;
    out.pid = out.pid * 10 + (c - '0');
  }
  out.tag = rest.substr(dash + 1);
  return out;
}

bool WriterStopped(long pid) {
  if (pid <= 0 || pid == static_cast<long>(::getpid())) return false;
  return ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH;
}

// Makes a rename in the directory durable. A file system that cannot sync a directory
// (EINVAL) keeps the rename all the same.
Status SyncDirectory(const std::string& dir) {
  Fd fd(::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (fd.get() < 0) return SystemProblem(dir, "cannot open the directory to sync it", errno);
  if (::fsync(fd.get()) != 0 && errno != EINVAL) {
    return SystemProblem(dir, "cannot flush the directory to disk", errno);
  }
  return Status::Ok();
}

std::string ErrnoText(int err) {
  std::array<char, 256> buf{};
  // The GNU form gives either its own static text or the buffer, filled.
  return ::strerror_r(err, buf.data(), buf.size());
}

std::string DirectoryOf(const std::string& path) {
  std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

Result<std::string> ReadFileBytes(const std::string& native_path, std::size_t max_bytes) {
  // Without O_NONBLOCK a FIFO would wait for a writer for ever.
  Fd fd(::open(native_path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
  if (fd.get() < 0) return SystemProblem(native_path, "cannot open", errno);
  struct stat st {};
  if (::fstat(fd.get(), &st) != 0) return SystemProblem(native_path, "cannot examine", errno);
  if (!S_ISREG(st.st_mode)) {
    return Problem{native_path, 0, 0,
                   S_ISDIR(st.st_mode) ? "is a directory, not a file"
                                       : "is not a regular file (a device, FIFO or socket)"};
  }
  auto too_large = [&] {
    return Problem{native_path, 0, 0,
                   "is larger than any file Velquor writes (more than " +
                       std::to_string(max_bytes >> 20) + " MB); it was not read"};
  };
  if (static_cast<std::size_t>(st.st_size) > max_bytes) return too_large();
  std::string out;
  std::vector<char> buf(1 << 16);
  for (;;) {
    ssize_t n = ::read(fd.get(), buf.data(), buf.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return SystemProblem(native_path, "cannot read", errno);
    }
    if (n == 0) break;
    out.append(buf.data(), static_cast<std::size_t>(n));
    if (out.size() > max_bytes) return too_large();  // it grew while being read
  }
  return out;
}

Result<std::string> WriteTempFile(const std::string& native_path, std::string_view bytes) {
  if (native_path.empty() || native_path.back() == '/') {
    return Problem{native_path, 0, 0, "no file name"};
  }
  // Only a regular file is ever replaced: never a device, FIFO, socket or directory.
  if (Status s = CheckOutputTarget(native_path); !s) return s.problem();
  const std::string dir = DirectoryOf(native_path);
  // The writer's process number in the name tells a later save whether it is left over.
  std::string tmpl = dir + "/" + std::string(kTempPrefix) + std::to_string(::getpid()) + "-XXXXXX";
  std::vector<char> name(tmpl.begin(), tmpl.end());
  name.push_back('\0');
  Fd fd(::mkstemp(name.data()));
  if (fd.get() < 0) {
    return SystemProblem(native_path, "cannot create a file in its directory", errno);
  }
  std::string tmp(name.data());
  auto fail = [&](const char* doing) {
    int err = errno;
    ::unlink(tmp.c_str());
    return SystemProblem(native_path, doing, err);
  };
  if (!WriteAll(fd.get(), bytes)) return fail("cannot write");
  if (::fchmod(fd.get(), 0644) != 0) return fail("cannot set permissions");
  if (::fsync(fd.get()) != 0) return fail("cannot flush to disk");
  if (::close(fd.release()) != 0) return fail("cannot close");
  return tmp;
}

Result<std::string> MarkFinished(const std::string& tmp, std::string_view tag_extra,
                                 const std::string& native_target) {
  std::string finished = tmp;
  if (!tag_extra.empty()) finished.append("-").append(tag_extra);
  const std::size_t slash = native_target.rfind('/');
  finished.append("=").append(slash == std::string::npos ? native_target
                                                         : native_target.substr(slash + 1));
  if (::rename(tmp.c_str(), finished.c_str()) != 0) {
    const int err = errno;
    if (err == ENAMETOOLONG) return tmp;  // a long target keeps the name of a file being written
    ::unlink(tmp.c_str());
    return SystemProblem(native_target, "cannot name its temporary file", err);
  }
  return finished;
}

Result<Placed> PlaceNoReplace(const std::string& from, const std::string& to) {
  if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) {
    return Placed::kPlaced;
  }
  int err = errno;
  if (err == EEXIST) return Placed::kTaken;
  if (err != EINVAL && err != ENOSYS) return SystemProblem(to, "cannot create", err);
  // A file system without the no-replace rename: a link fails when the name exists.
  if (::link(from.c_str(), to.c_str()) == 0) {
    ::unlink(from.c_str());
    return Placed::kPlaced;
  }
  err = errno;
  if (err == EEXIST) {
    if (!SameInode(from, to)) return Placed::kTaken;
    ::unlink(from.c_str());  // another program placed this very file a moment ago
    return Placed::kPlaced;
  }
  if (err != EPERM && err != EOPNOTSUPP && err != EMLINK) {
    return SystemProblem(to, "cannot create", err);
  }
  // Nor links: the file is created only when the name is free, then filled.
  auto bytes = ReadFileBytes(from);
  if (!bytes) return bytes.problem();
  Fd fd(::open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644));
  if (fd.get() < 0) {
    if (errno == EEXIST) return Placed::kTaken;
    return SystemProblem(to, "cannot create", errno);
  }
  if (!WriteAll(fd.get(), bytes.value()) || ::fsync(fd.get()) != 0 || ::close(fd.release()) != 0) {
    err = errno;
    ::unlink(to.c_str());
    return SystemProblem(to, "cannot write", err);
  }
  ::unlink(from.c_str());
  return Placed::kPlaced;
}

Status WriteFileAtomic(const std::string& native_path, std::string_view bytes, bool replace) {
  auto tmp = WriteTempFile(native_path, bytes);
  if (!tmp) return tmp.problem();
  const std::string dir = DirectoryOf(native_path);
  if (!replace) {
    auto placed = PlaceNoReplace(tmp.value(), native_path);
    if (!placed || placed.value() == Placed::kTaken) ::unlink(tmp.value().c_str());
    if (!placed) return placed.problem();
    if (placed.value() == Placed::kTaken) {
      return Problem{native_path, 0, 0, "already exists and was not replaced"};
    }
    return SyncDirectory(dir);
  }
  // Looked at again: something else may have been put at the name while the bytes were written.
  if (Status s = CheckOutputTarget(native_path); !s) {
    ::unlink(tmp.value().c_str());
    return s;
  }
  if (::rename(tmp.value().c_str(), native_path.c_str()) != 0) {
    int err = errno;
    ::unlink(tmp.value().c_str());
    return SystemProblem(native_path, "cannot replace", err);
  }
  return SyncDirectory(dir);
}

std::vector<Problem> RemoveLeftoverTemps(const std::string& native_dir) {
  std::vector<Problem> out;
  DIR* d = ::opendir(native_dir.c_str());
  if (d == nullptr) return out;  // the save that follows says what is wrong with it
  while (const dirent* e = ::readdir(d)) {
    const std::string name = e->d_name;
    if (name.compare(0, kTempPrefix.size(), kTempPrefix) != 0) continue;
    const std::string path = native_dir + "/" + name;
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode) || !LeftOver(name, st)) continue;
    if (::unlink(path.c_str()) != 0 && errno != ENOENT) {
      out.push_back(SystemProblem(path,
                                  "a temporary file left by a stopped program cannot be "
                                  "removed",
                                  errno));
    }
  }
  ::closedir(d);
  return out;
}

Result<std::string> ReadShiftJisFile(const std::string& native_path) {
  auto bytes = ReadFileBytes(native_path);
  if (!bytes) return bytes.problem();
  auto text = ShiftJisToUtf8(bytes.value());
  if (!text) return Problem{native_path, 0, 0, text.problem().what};
  return text;
}

Status WriteShiftJisFile(const std::string& native_path, std::string_view utf8) {
  auto bytes = Utf8ToShiftJis(utf8);
  if (!bytes) return Problem{native_path, 0, 0, bytes.problem().what};
  return WriteFileAtomic(native_path, bytes.value());
}

}  // namespace velquor
