// The headless tool: measures on a backend or re-analyses saved files without a display.
#include <cstdio>
#include <string>

int main(int argc, char** argv) {
  if (argc > 1 && std::string(argv[1]) == "--help") {
    std::puts("usage: velquor-cli reanalyse|measure [options]");
    return 0;
  }
  std::fputs("velquor-cli: no command given (see --help)\n", stderr);
  return 2;
}
