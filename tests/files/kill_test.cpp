// velquor-cli measure killed with SIGKILL at several moments, then run to its end: no saved
// file changes afterwards, every summary has its per-sample file, every pair reloads, and
// the numbering goes on after the last pair written.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <thread>

#include "common/text_file.h"
#include "files/data_file_reader.h"
#include "files/settings_file.h"
#include "files/temp_dir.h"

namespace velquor {
namespace {

using testing::TempDir;

// Starts the tool in `dir` measuring small cycles without end; output goes nowhere.
pid_t StartMeasuring(const std::string& dir, const char* cycles) {
  const pid_t pid = ::fork();
  if (pid == 0) {
    if (::chdir(dir.c_str()) != 0) ::_exit(127);
    std::freopen("/dev/null", "w", stdout);
    std::freopen("/dev/null", "w", stderr);
    ::execl(VELQUOR_CLI_BINARY, "velquor-cli", "measure", "--cycles", cycles, "--samples", "5",
            "--interval", "1", static_cast<char*>(nullptr));
    ::_exit(127);
  }
  return pid;
}

std::map<std::string, std::string> Snapshot(const std::string& dir) {
  std::map<std::string, std::string> files;
  for (const auto& e : std::filesystem::directory_iterator(dir)) {
    files[e.path().filename().string()] = ReadFileBytes(e.path().string()).value();
  }
  return files;
}

TEST(KilledMeasurement, LosesNothingSavedAndGoesOnAfterTheLastNumber) {
  TempDir dir;
  std::filesystem::create_directory(dir / "out");
  Settings s = Settings::DesignTime();
  s.txtFileDir = dir / "out";
  s.txtFileHead = "RUN";
  s.txtFileOrg = "1";
  ASSERT_TRUE(SaveSettings(s, dir / "Velquor.ini").ok());

  std::map<std::string, std::string> seen;  // every file as first written
  auto check_unchanged = [&] {
    for (const auto& [name, bytes] : Snapshot(dir / "out")) {
      auto [at, fresh] = seen.emplace(name, bytes);
      if (!fresh && name.rfind(".velquor-", 0) != 0) {
        EXPECT_EQ(at->second, bytes) << name << " was changed by a later run";
      }
    }
  };
  const int kill_after_ms[] = {40, 90, 150, 230, 330, 60, 120, 270};
  for (int ms : kill_after_ms) {
    const pid_t pid = StartMeasuring(dir.path(), "100000");
    ASSERT_GT(pid, 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
    check_unchanged();
  }
  int status = 0;
  const pid_t last = StartMeasuring(dir.path(), "3");
  ::waitpid(last, &status, 0);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  check_unchanged();

  int pairs = 0;
  int highest = 0;
  const auto final_files = Snapshot(dir / "out");
  for (const auto& [name, bytes] : final_files) {
    EXPECT_NE(name.rfind(".velquor-", 0), 0u) << "left over after a full run: " << name;
    highest = std::max(highest, std::stoi(name.substr(3, 7)));
    if (name.substr(10) != "_dat.csv") continue;
    ++pairs;
    auto loaded = LoadDataFiles(dir / ("out/" + name));
    EXPECT_TRUE(loaded.ok()) << loaded.problem().Describe();
  }
  // Each number is a whole pair, or a per-sample file whose run was killed before its
  // summary; the settings go on after the highest.
  EXPECT_EQ(LoadSettings(dir / "Velquor.ini").values.txtFileOrg, std::to_string(highest + 1));
  EXPECT_EQ(static_cast<int>(final_files.size()) - pairs, highest) << "a number was skipped";
  std::printf("kill test: %zu kills, %d pairs reloaded, %zu files checked unchanged\n",
              std::size(kill_after_ms), pairs, final_files.size());
}

}  // namespace
}  // namespace velquor
