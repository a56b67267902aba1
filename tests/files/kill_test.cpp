// velquor-cli measure killed with SIGKILL at several moments, and at chosen steps of a save,
// then run to its end: no saved file changes afterwards, every summary has its per-sample
// file, what a stopped save left is completed, every pair reloads, and the numbering goes on
// after the last pair written.
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
#include <vector>

#include "common/text_file.h"
#include "files/cli_child.h"
#include "files/data_file_reader.h"
#include "files/out_settings.h"
#include "files/settings_file.h"
#include "files/temp_dir.h"
#include "files/text_has.h"

namespace velquor {
namespace {

using testing::ChildEnv;
using testing::Has;
using testing::PrepareSettings;
using testing::TempDir;
using testing::TextOf;
using testing::WithSaveFaults;

// The tool's words for `cycles` cycles of `samples` samples at 1 ms.
std::vector<std::string> Measure(const char* cycles, const char* samples = "5") {
  return {"measure", "--cycles", cycles, "--samples", samples, "--interval", "1"};
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
  PrepareSettings(dir);

  std::map<std::string, std::string> seen;  // every file as first written
  auto check_unchanged = [&] {
    for (const auto& [name, bytes] : Snapshot(dir / "out")) {
      auto [at, fresh] = seen.emplace(name, bytes);
      // A killed trial's document is written again once, complete, by the next start.
      const bool document = name.find("_trial.json") != std::string::npos;
      if (!fresh && name.rfind(".velquor-", 0) != 0 && !document) {
        EXPECT_EQ(at->second, bytes) << name << " was changed by a later run";
      }
    }
  };
  const int kill_after_ms[] = {40, 90, 150, 230, 330, 60, 120, 270};
  for (int ms : kill_after_ms) {
    const pid_t pid = testing::StartCli(dir.path(), Measure("100000"));
    ASSERT_GT(pid, 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
    check_unchanged();
  }
  const int status = testing::WaitFor(testing::StartCli(dir.path(), Measure("3")));
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  check_unchanged();

  int pairs = 0;
  int highest = 0;
  auto final_files = Snapshot(dir / "out");
  for (const auto& [name, bytes] : final_files) {
    if (name.find("_trial.json") == std::string::npos) continue;
    EXPECT_TRUE(Has(bytes, "\"complete\":true")) << name << " left incomplete";
  }
  // The pairs alone: each run's trial files stand beside them under its first pair's stem,
  // and the trials are catalogued in the directory.
  std::erase_if(final_files, [](const auto& f) {
    return f.first.find("_trial") != std::string::npos ||
           f.first.rfind("velquor-catalogue.sqlite", 0) == 0;
  });
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

// A trial killed while it runs is completed by the next start from its per-sample file: its
// document says so, holds every sample the file kept, and its push table is written.
TEST(KilledMeasurement, TheNextStartCompletesAKilledTrial) {
  TempDir dir;
  PrepareSettings(dir);
  const pid_t pid = testing::StartCli(dir.path(), Measure("100000", "200"));
  ASSERT_GT(pid, 0);
  const std::string csv = dir / "out/RUN0000001_trial.csv";
  const std::string json = dir / "out/RUN0000001_trial.json";
  // Killed once the trial file holds a few cycles.
  for (int k = 0; k < 400; ++k) {
    std::error_code ec;
    if (std::filesystem::file_size(csv, ec) > 60000 && !ec) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  ::kill(pid, SIGKILL);
  ::waitpid(pid, nullptr, 0);
  ASSERT_TRUE(std::filesystem::exists(csv));
  const std::string rows = ReadFileBytes(csv).value();
  ASSERT_NE(ReadFileBytes(json).value().find("\"complete\":false"), std::string::npos);

  const std::string err = dir / "err.txt";
  const int status = testing::WaitFor(testing::StartCli(dir.path(), Measure("1"), "", err));
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  EXPECT_TRUE(Has(TextOf(err),
                  "the trial RUN0000001 was left incomplete when the program stopped; it "
                  "was completed from RUN0000001_trial.csv"));
  EXPECT_EQ(ReadFileBytes(csv).value(), rows) << "the samples are never touched";
  const std::string document = ReadFileBytes(json).value();
  EXPECT_TRUE(Has(document, "\"complete\":true"));
  // Every whole row the file kept is a sample of the completed trial.
  const auto whole_rows = std::count(rows.begin(), rows.end(), '\n') - 1;  // less the header
  EXPECT_TRUE(Has(document, "\"samples\":" + std::to_string(whole_rows) + ",")) << whole_rows;
  EXPECT_TRUE(std::filesystem::exists(dir / "out/RUN0000001_trial_pushes.csv"));
}

// One saved measurement as the folder holds it after a run.
struct FolderState {
  std::vector<std::string> temps;      // ".velquor-..." files
  std::vector<std::string> lone_csvs;  // per-sample files without their summary
  int pairs = 0;
};

FolderState Look(const std::string& dir) {
  FolderState st;
  for (const auto& e : std::filesystem::directory_iterator(dir)) {
    const std::string name = e.path().filename().string();
    if (name.rfind(".velquor-", 0) == 0) {
      st.temps.push_back(name);
    } else if (name.size() > 8 && name.substr(name.size() - 8) == "_csv.csv") {
      if (std::filesystem::exists(dir + "/" + name.substr(0, name.size() - 8) + "_dat.csv")) {
        ++st.pairs;
      } else {
        st.lone_csvs.push_back(name);
      }
    }
  }
  return st;
}

// The tool killed at a chosen step of its second save (through the save-fault library),
// then run again: the second run completes the pair the first left, names the files it
// repaired, and every cycle saved before the kill reloads.
TEST(KilledMeasurement, TheNextRunCompletesAPairKilledBetweenItsSteps) {
  struct Case {
    const char* kill_at;        // VELQUOR_TEST_KILL_AT
    std::vector<ChildEnv> env;  // a file system without the no-replace rename, say
    bool lone_csv_after_kill;   // the second pair's per-sample file stands alone
    const char* named;          // what the second run's notices name
  };
  const std::vector<ChildEnv> no_renameat2 = {{"VELQUOR_TEST_NO_RENAMEAT2", "1"}};
  const std::vector<ChildEnv> no_links = {{"VELQUOR_TEST_NO_RENAMEAT2", "1"},
                                          {"VELQUOR_TEST_NO_LINK", "1"}};
  const Case cases[] = {
      // Between the two names: the summary waits, finished, under its temporary name.
      {"2:renameat2:_dat.csv", {}, true, "RUN0000002_dat.csv"},
      {"2:renameat2:_dat.csv", no_renameat2, true, "RUN0000002_dat.csv"},
      // Without links either the per-sample file is a copy, which its summary cannot tell
      // for its own: the summary is kept aside and the per-sample file gets one made for it.
      {"2:renameat2:_dat.csv", no_links, true, "RUN0000002_dat.csv.unfinished-"},
      // Both files finished, neither named yet.
      {"2:renameat2:_csv.csv", {}, false, "RUN0000002_csv.csv"},
      // The summary still being written: the per-sample file gets a summary made for it.
      {"2:rename:_dat.csv", {}, false, "RUN0000002_csv.csv had no summary file"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.kill_at);
    TempDir dir;
    PrepareSettings(dir);
    std::vector<ChildEnv> env = c.env;
    env.push_back({"VELQUOR_TEST_KILL_AT", c.kill_at});
    const int killed =
        testing::WaitFor(testing::StartCli(dir.path(), Measure("4"), "", "", WithSaveFaults(env)));
    ASSERT_TRUE(WIFSIGNALED(killed) && WTERMSIG(killed) == SIGKILL) << killed;
    const FolderState after_kill = Look(dir / "out");
    EXPECT_EQ(after_kill.pairs, 1);
    EXPECT_FALSE(after_kill.temps.empty()) << "the kill left nothing to finish";
    EXPECT_EQ(after_kill.lone_csvs.size(), c.lone_csv_after_kill ? 1u : 0u);
    const std::string lone_bytes = TextOf(dir / "out/RUN0000002_csv.csv");

    const std::string err = dir / "second.err";
    const int second = testing::WaitFor(
        testing::StartCli(dir.path(), Measure("2"), "", err, WithSaveFaults(c.env)));
    ASSERT_TRUE(WIFEXITED(second) && WEXITSTATUS(second) == 0) << TextOf(err);
    EXPECT_TRUE(Has(TextOf(err), c.named));

    const FolderState done = Look(dir / "out");
    EXPECT_TRUE(done.temps.empty()) << done.temps.front();
    EXPECT_TRUE(done.lone_csvs.empty()) << done.lone_csvs.front();
    EXPECT_EQ(done.pairs, 4) << "two before the kill, two after";
    for (int n = 1; n <= 4; ++n) {
      const std::string dat = dir / ("out/RUN000000" + std::to_string(n) + "_dat.csv");
      auto loaded = LoadDataFiles(dat);
      ASSERT_TRUE(loaded.ok()) << loaded.problem().Describe();
      EXPECT_EQ(loaded.value()->record.DataNum, 5.0f) << dat;
    }
    if (c.lone_csv_after_kill) {
      EXPECT_EQ(ReadFileBytes(dir / "out/RUN0000002_csv.csv").value(), lone_bytes);
    }
  }
}

// A pair replaced with the operator's leave (reanalyse --out --overwrite), killed at either
// of its two renames: the folder may lose the old summary, never hold one measurement's
// summary beside another's samples.
TEST(KilledMeasurement, AReplacementKilledBetweenItsStepsMixesNoPair) {
  for (const char* kill_at : {"1:rename:_csv.csv", "1:rename:_dat.csv"}) {
    SCOPED_TRACE(kill_at);
    TempDir dir;
    std::filesystem::copy(VELQUOR_EXAMPLES_DIR, dir.path(),
                          std::filesystem::copy_options::recursive);
    const std::string out = dir / "out";
    std::filesystem::create_directory(out);
    // The pair to be replaced: the same measurement without its torque offset.
    ASSERT_EQ(testing::WaitFor(testing::StartCli(
                  dir.path(), {"reanalyse", "--out", "out", "--shift", "RUN0000001_dat.csv"})),
              0);
    const std::string old_dat = ReadFileBytes(out + "/RUN0000001_dat.csv").value();
    const std::string old_csv = ReadFileBytes(out + "/RUN0000001_csv.csv").value();

    const int killed = testing::WaitFor(testing::StartCli(
        dir.path(), {"reanalyse", "--out", "out", "--overwrite", "RUN0000001_dat.csv"}, "", "",
        WithSaveFaults({{"VELQUOR_TEST_KILL_AT", kill_at}})));
    ASSERT_TRUE(WIFSIGNALED(killed) && WTERMSIG(killed) == SIGKILL) << killed;
    auto dat = ReadFileBytes(out + "/RUN0000001_dat.csv");
    auto csv = ReadFileBytes(out + "/RUN0000001_csv.csv");
    ASSERT_TRUE(csv.ok()) << "the per-sample file is kept, old or new";
    if (dat.ok()) {
      EXPECT_TRUE(dat.value() == old_dat && csv.value() == old_csv)
          << "a summary stands beside another measurement's samples";
    }
    if (std::string(kill_at) == "1:rename:_dat.csv") {
      EXPECT_NE(csv.value(), old_csv) << "the new per-sample file differs from the old";
    }
  }
}

}  // namespace
}  // namespace velquor
