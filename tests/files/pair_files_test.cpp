#include "files/pair_files.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "common/text_file.h"
#include "files/data_file_reader.h"
#include "files/data_files.h"
#include "files/sim_measurement.h"
#include "files/temp_dir.h"

namespace velquor {
namespace {

using testing::Simulate;
using testing::TempDir;

// A process number that no process has any more.
long StoppedPid() {
  const pid_t pid = ::fork();
  if (pid == 0) ::_exit(0);
  ::waitpid(pid, nullptr, 0);
  return pid;
}

std::string TextOf(const std::string& path) {
  auto bytes = ReadFileBytes(path);
  return bytes ? bytes.value() : std::string();
}

long InodeOf(const std::string& path) {
  struct stat st {};
  return ::lstat(path.c_str(), &st) == 0 ? static_cast<long>(st.st_ino) : -1;
}

// What a program stopped in the middle of a save may leave beside a saved pair RUN0000012
// (200 samples), and what the start of the next program makes of it.
TEST(RecoverSaveDirectory, FinishesWhatStoppedSavesLeftAndNothingElse) {
  const long dead = StoppedPid();
  const std::string live = std::to_string(::getpid());
  const std::string d = std::to_string(dead);
  const std::string dat = "RUN0000012_dat.csv", csv = "RUN0000012_csv.csv";
  struct Case {
    const char* what;
    std::function<void(const std::string& dir)> leave;
    std::vector<std::string> present;  // afterwards
    std::vector<std::string> absent;
    std::string notice;   // a piece of the first notice; empty: no notice
    bool loads;           // RUN0000012 reloads afterwards with its 200 samples
    std::size_t notices;  // how many
  };
  auto temp_dat = [&](const std::string& pid, long ino) {
    return ".velquor-" + pid + "-abcdef-i" + std::to_string(ino) + "=" + dat;
  };
  const Case cases[] = {
      {"a per-sample file without its summary",
       [&](const std::string& dir) { std::filesystem::remove(dir + "/" + dat); },
       {dat},
       {},
       csv + " had no summary file; this one was made for it",
       true,
       1},
      {"a per-sample file that cannot be read, without its summary",
       [&](const std::string& dir) {
         std::filesystem::remove(dir + "/" + dat);
         ASSERT_TRUE(WriteFileAtomic(dir + "/" + csv, "x\r\n").ok());
       },
       {csv},
       {dat},
       csv + ": has no summary file, and none can be made from it",
       false,
       1},
      {"a finished summary of a stopped save beside its own per-sample file",
       [&](const std::string& dir) {
         std::filesystem::rename(dir + "/" + dat,
                                 dir + "/" + temp_dat(d, InodeOf(dir + "/" + csv)));
       },
       {dat},
       {},
       dat + ": a save of process " + d + ", which was stopped, left this file unnamed",
       true,
       1},
      {"a finished summary of a stopped save beside another per-sample file",
       [&](const std::string& dir) {
         std::filesystem::rename(dir + "/" + dat,
                                 dir + "/" + temp_dat(d, InodeOf(dir + "/" + csv) + 1));
       },
       {dat, dat + ".unfinished-" + d},
       {},
       "has not its own per-sample file beside it; it was kept under this name",
       true,
       2},  // and the per-sample file left alone gets a summary
      {"a finished summary of a save still under way",
       [&](const std::string& dir) {
         std::filesystem::rename(dir + "/" + dat,
                                 dir + "/" + temp_dat(live, InodeOf(dir + "/" + csv)));
       },
       {csv, ".velquor-" + live + "-abcdef-i"},
       {dat},
       "",
       false,
       0},
      {"a temporary file a stopped program was still writing",
       [&](const std::string& dir) {
         ASSERT_TRUE(WriteFileAtomic(dir + "/.velquor-" + d + "-ghijkl", "half").ok());
       },
       {dat, csv},
       {".velquor-" + d + "-ghijkl"},
       "",
       true,
       0},
      // Both files of the stopped save were finished: they move on to the next free number
      // (RUN0000013 is taken too), the summary's rows restamped.
      {"a finished pair of a stopped save whose number was taken since",
       [&](const std::string& dir) {
         for (const std::string& name : {csv, dat}) {
           std::filesystem::copy_file(dir + "/" + name, dir + "/.velquor-" + d + "-mnopqr=" + name);
         }
         std::filesystem::copy_file(dir + "/" + csv, dir + "/RUN0000013_csv.csv");
       },
       {"RUN0000014_dat.csv", "RUN0000014_csv.csv"},
       {".velquor-" + d + "-mnopqr=" + csv, ".velquor-" + d + "-mnopqr=" + dat},
       "left this measurement for RUN0000012, a number another program has taken since; it was "
       "saved as RUN0000014",
       true,
       2},  // and RUN0000013_csv.csv, alone, gets a summary
      {"a finished per-sample file of a stopped save whose number was taken since",
       [&](const std::string& dir) {
         std::filesystem::copy_file(dir + "/" + csv, dir + "/.velquor-" + d + "-mnopqr=" + csv);
       },
       {"RUN0000013_dat.csv", "RUN0000013_csv.csv"},
       {".velquor-" + d + "-mnopqr=" + csv},
       "it was saved as RUN0000013 with a summary of the header line alone",
       true,
       1},
  };
  auto m = Simulate(3, 200);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TempDir dir;
    FileNaming naming;
    naming.Auto = {dir.path(), "RUN", "12", "", "", ""};
    ASSERT_TRUE(
        SaveDataFiles(naming, 0, *m->rec, *m->series, m->strokes, {}, WhenTaken::kRefuse).ok());
    c.leave(dir.path());
    const std::vector<Problem> notices = RecoverSaveDirectory(dir.path());
    ASSERT_EQ(notices.size(), c.notices) << (notices.empty() ? "" : notices.front().Describe());
    if (!notices.empty()) {
      EXPECT_NE(notices.front().Describe().find(c.notice), std::string::npos)
          << notices.front().Describe();
    }
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(dir.path())) {
      names.push_back(e.path().filename().string());
    }
    for (const std::string& want : c.present) {
      EXPECT_TRUE(std::any_of(names.begin(), names.end(),
                              [&](const std::string& n) { return n.rfind(want, 0) == 0; }))
          << want << " is missing";
    }
    for (const std::string& gone : c.absent) {
      EXPECT_FALSE(std::filesystem::exists(dir / gone)) << gone << " is still there";
    }
    for (const std::string stem : {"RUN0000012", "RUN0000013", "RUN0000014"}) {
      if (stem != dat.substr(0, 10) && !std::filesystem::exists(dir / (stem + "_dat.csv"))) {
        continue;
      }
      auto loaded = LoadDataFiles(dir / (stem + "_dat.csv"));
      EXPECT_EQ(loaded.ok(), c.loads) << (loaded.ok() ? "" : loaded.problem().Describe());
      if (loaded.ok()) {
        EXPECT_EQ(loaded.value()->record.DataNum, 200.0f);
      }
      // Every stroke row names its own pair.
      const std::string summary = TextOf(dir / (stem + "_dat.csv"));
      for (auto at = summary.find('\n'); at != std::string::npos && at + 1 < summary.size();
           at = summary.find('\n', at + 1)) {
        EXPECT_EQ(summary.substr(at + 1, 11), stem + ",") << stem;
      }
    }
  }
}

// A stem so long that the temporary names cannot carry it is saved all the same.
TEST(CreatePair, SavesAStemTooLongForTheTemporaryNames) {
  TempDir dir;
  auto m = Simulate(3, 200);
  FileNaming naming;
  naming.Auto = {dir.path(), std::string(230, 'R'), "1", "", "", ""};
  auto saved =
      SaveDataFiles(naming, 0, *m->rec, *m->series, m->strokes, {}, WhenTaken::kNextFreeNumber);
  ASSERT_TRUE(saved.ok()) << saved.problem().Describe();
  auto loaded = LoadDataFiles(naming.DatFilePath);
  ASSERT_TRUE(loaded.ok()) << loaded.problem().Describe();
  int files = 0;
  for (const auto& e : std::filesystem::directory_iterator(dir.path())) {
    EXPECT_NE(e.path().filename().string().rfind(".velquor-", 0), 0u) << e.path();
    ++files;
  }
  EXPECT_EQ(files, 2);
}

}  // namespace
}  // namespace velquor
