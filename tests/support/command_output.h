// What a shell command prints on its standard output, for tests that read back the files the
// program writes with other tools (poppler's pdftotext and pdfinfo).
#pragma once

#include <cstdio>
#include <memory>
#include <string>

namespace velquor::testing {

// Empty when the command cannot be started.
inline std::string CommandOutput(const std::string& command) {
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(::popen(command.c_str(), "r"), ::pclose);
  if (!pipe) return {};
  std::string out;
  char buf[4096];
  for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, pipe.get())) > 0;) out.append(buf, n);
  return out;
}

}  // namespace velquor::testing
