// Loaded into velquor-cli by the tests alone (LD_PRELOAD), never built into the program: it
// stops the program at a chosen step of a save, or plays a file system that has no
// no-replace rename or no links.
//   VELQUOR_TEST_KILL_AT="N:CALL:END"  SIGKILL at the Nth call of CALL (rename or renameat2)
//                                      whose new name ends in END, before it is done.
//   VELQUOR_TEST_NO_RENAMEAT2=1        renameat2 fails with EINVAL.
//   VELQUOR_TEST_NO_LINK=1             link fails with EPERM.
#include <dlfcn.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>

namespace {

// Counts the calls that match the kill point; the program's one save thread and its
// settings writes may call from different threads.
std::atomic<long> matching_calls{0};

void MaybeStop(std::string_view call, const char* new_path) {
  const char* at = std::getenv("VELQUOR_TEST_KILL_AT");
  if (at == nullptr) return;
  char* rest = nullptr;
  const long n = std::strtol(at, &rest, 10);
  if (rest == nullptr || *rest != ':') return;
  const std::string_view spec(rest + 1);
  const std::size_t colon = spec.find(':');
  if (colon == std::string_view::npos || spec.substr(0, colon) != call) return;
  const std::string_view end = spec.substr(colon + 1);
  const std::string_view path(new_path);
  if (path.size() < end.size() || path.substr(path.size() - end.size()) != end) return;
  if (++matching_calls == n) ::raise(SIGKILL);
}

template <class Fn>
Fn Next(const char* name) {
  void* f = ::dlsym(RTLD_NEXT, name);
  Fn out = nullptr;
  static_assert(sizeof(out) == sizeof(f));
  std::memcpy(&out, &f, sizeof(out));
  return out;
}

}  // namespace

extern "C" int renameat2(int olddirfd, const char* oldpath, int newdirfd, const char* newpath,
                         unsigned int flags) noexcept {
  MaybeStop("renameat2", newpath);
  if (std::getenv("VELQUOR_TEST_NO_RENAMEAT2") != nullptr) {
    errno = EINVAL;
    return -1;
  }
  using Fn = int (*)(int, const char*, int, const char*, unsigned int);
  static const Fn real = Next<Fn>("renameat2");
  return real(olddirfd, oldpath, newdirfd, newpath, flags);
}

extern "C" int rename(const char* oldpath, const char* newpath) noexcept {
  MaybeStop("rename", newpath);
  using Fn = int (*)(const char*, const char*);
  static const Fn real = Next<Fn>("rename");
  return real(oldpath, newpath);
}

extern "C" int link(const char* from, const char* to) noexcept {
  if (std::getenv("VELQUOR_TEST_NO_LINK") != nullptr) {
    errno = EPERM;
    return -1;
  }
  using Fn = int (*)(const char*, const char*);
  static const Fn real = Next<Fn>("link");
  return real(from, to);
}
