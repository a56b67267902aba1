// velquor-cli run as a child process in a directory of its own choosing, its output kept
// in files, for the tests that kill it or run two of it at once.
#pragma once

#include <fcntl.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <utility>
#include <vector>

#include "common/text_file.h"

namespace velquor::testing {

struct ChildEnv {
  std::string name;
  std::string value;
};

// Starts `velquor-cli ARGS...` in `dir`, stdout and stderr to the files named (or nowhere
// when empty), with the variables added to its environment.
inline pid_t StartCli(const std::string& dir, const std::vector<std::string>& args,
                      const std::string& out_file = "", const std::string& err_file = "",
                      const std::vector<ChildEnv>& env = {}) {
  std::vector<std::string> argv_text = {"velquor-cli"};
  argv_text.insert(argv_text.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& a : argv_text) argv.push_back(a.data());
  argv.push_back(nullptr);
  const pid_t pid = ::fork();
  if (pid == 0) {
    auto to = [](const std::string& file, int fd) {
      const int f = ::open(file.empty() ? "/dev/null" : file.c_str(),
                           O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
      if (f < 0 || ::dup2(f, fd) < 0) ::_exit(127);
    };
    to(out_file, 1);
    to(err_file, 2);
    for (const ChildEnv& e : env) ::setenv(e.name.c_str(), e.value.c_str(), 1);
    if (::chdir(dir.c_str()) != 0) ::_exit(127);
    ::execv(VELQUOR_CLI_BINARY, argv.data());
    ::_exit(127);
  }
  return pid;
}

// The environment that loads the save-fault library into the child.
inline std::vector<ChildEnv> WithSaveFaults(std::vector<ChildEnv> env) {
  env.push_back({"LD_PRELOAD", VELQUOR_SAVE_FAULTS});
  // A sanitized build wants its runtime first; the library only wraps three calls.
  env.push_back({"ASAN_OPTIONS", "verify_asan_link_order=0"});
  return env;
}

inline int WaitFor(pid_t pid) {
  int status = 0;
  ::waitpid(pid, &status, 0);
  return status;
}

// The whole text of a file the child wrote; empty when there is none.
inline std::string TextOf(const std::string& path) {
  auto bytes = ReadFileBytes(path);
  return bytes ? bytes.value() : std::string();
}

}  // namespace velquor::testing
