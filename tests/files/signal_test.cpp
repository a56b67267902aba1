// velquor-cli measure stopped by SIGINT or SIGTERM in the middle of its cycles: it exits
// 128 + the signal's number, every cycle it reported is saved and reloads, and the settings
// go on after the last pair.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "files/data_file_reader.h"
#include "files/out_settings.h"
#include "files/settings_file.h"
#include "files/temp_dir.h"

namespace velquor {
namespace {

using testing::TempDir;

// Starts the tool in `dir` measuring cycles of 50 ms, longer than a save takes, so that no
// backlog of finished cycles is left to save after the signal; its output goes to out.txt.
pid_t StartMeasuring(const std::string& dir) {
  const pid_t pid = ::fork();
  if (pid == 0) {
    if (::chdir(dir.c_str()) != 0) ::_exit(127);
    std::freopen("out.txt", "w", stdout);
    std::freopen("/dev/null", "w", stderr);
    ::execl(VELQUOR_CLI_BINARY, "velquor-cli", "measure", "--cycles", "100000", "--samples", "50",
            "--interval", "1", static_cast<char*>(nullptr));
    ::_exit(127);
  }
  return pid;
}

int SummariesIn(const std::string& dir) {
  int n = 0;
  for (const auto& e : std::filesystem::directory_iterator(dir)) {
    const std::string name = e.path().filename().string();
    n += name.size() > 8 && name.substr(name.size() - 8) == "_dat.csv";
  }
  return n;
}

TEST(StoppedMeasurement, ExitsWithTheSignalAfterSavingEveryFinishedCycle) {
  for (int sig : {SIGINT, SIGTERM}) {
    TempDir dir;
    testing::PrepareSettings(dir);

    const pid_t pid = StartMeasuring(dir.path());
    ASSERT_GT(pid, 0);
    // Stopped once a few cycles are saved, long before the 100000 asked for.
    for (int waited = 0; SummariesIn(dir / "out") < 3 && waited < 10000; waited += 10) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ::kill(pid, sig);
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFEXITED(status)) << "ended by the signal itself: " << status;
    EXPECT_EQ(WEXITSTATUS(status), 128 + sig);

    // Every cycle the tool said it wrote is there and reloads; nothing else is.
    std::ifstream out(dir / "out.txt");
    int reported = 0;
    for (std::string line; std::getline(out, line);) {
      const std::size_t at = line.find("wrote ");
      if (at == std::string::npos) continue;
      ++reported;
      const std::string dat = line.substr(at + 6, line.find(" and ") - at - 6);
      auto loaded = LoadDataFiles(dat);
      EXPECT_TRUE(loaded.ok()) << loaded.problem().Describe();
    }
    EXPECT_GE(reported, 3);
    EXPECT_EQ(SummariesIn(dir / "out"), reported);
    EXPECT_EQ(LoadSettings(dir / "Velquor.ini").values.txtFileOrg, std::to_string(reported + 1));
  }
}

}  // namespace
}  // namespace velquor
