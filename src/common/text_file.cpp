#include "common/text_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include "common/shift_jis.h"

namespace velquor {
namespace {

Problem SystemProblem(const std::string& path, const std::string& doing, int err) {
  return Problem{path, 0, 0, doing + ": " + std::strerror(err)};
}

std::string DirectoryOf(const std::string& path) {
  std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

}  // namespace

Result<std::string> ReadFileBytes(const std::string& native_path) {
  int fd = ::open(native_path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return SystemProblem(native_path, "cannot open", errno);
  std::string out;
  std::vector<char> buf(1 << 16);
  for (;;) {
    ssize_t n = ::read(fd, buf.data(), buf.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      int err = errno;
      ::close(fd);
      return SystemProblem(native_path, "cannot read", err);
    }
    if (n == 0) break;
    out.append(buf.data(), static_cast<std::size_t>(n));
  }
  ::close(fd);
  return out;
}

Status WriteFileAtomic(const std::string& native_path, std::string_view bytes, bool replace) {
  if (native_path.empty() || native_path.back() == '/') {
    return Problem{native_path, 0, 0, "no file name"};
  }
  std::string tmpl = DirectoryOf(native_path) + "/.velquor-XXXXXX";
  std::vector<char> name(tmpl.begin(), tmpl.end());
  name.push_back('\0');
  int fd = ::mkstemp(name.data());
  if (fd < 0) return SystemProblem(native_path, "cannot create a file in its directory", errno);
  std::string tmp(name.data());
  auto fail = [&](const char* doing) {
    int err = errno;
    ::close(fd);
    ::unlink(tmp.c_str());
    return Status(SystemProblem(native_path, doing, err));
  };
  std::size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return fail("cannot write");
    }
    done += static_cast<std::size_t>(n);
  }
  if (::fchmod(fd, 0644) != 0) return fail("cannot set permissions");
  if (::fsync(fd) != 0) return fail("cannot flush to disk");
  if (::close(fd) != 0) {
    int err = errno;
    ::unlink(tmp.c_str());
    return SystemProblem(native_path, "cannot close", err);
  }
  if (!replace) {
    // A link fails when the name exists, so a file made meanwhile is never replaced either.
    const int linked = ::link(tmp.c_str(), native_path.c_str());
    const int err = errno;
    ::unlink(tmp.c_str());
    if (linked == 0) return Status::Ok();
    if (err == EEXIST) return Problem{native_path, 0, 0, "already exists and was not replaced"};
    return SystemProblem(native_path, "cannot create", err);
  }
  if (::rename(tmp.c_str(), native_path.c_str()) != 0) {
    int err = errno;
    ::unlink(tmp.c_str());
    return SystemProblem(native_path, "cannot replace", err);
  }
  return Status::Ok();
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
