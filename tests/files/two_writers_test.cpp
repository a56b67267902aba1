// Two velquor-cli runs saving automatically into one folder at once: neither replaces nor
// mixes the other's pairs, and each reports exactly the pairs it wrote.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <filesystem>
#include <map>
#include <regex>
#include <string>
#include <vector>

#include "files/cli_child.h"
#include "files/data_file_reader.h"
#include "files/temp_dir.h"

namespace velquor {
namespace {

using testing::TempDir;
using testing::TextOf;

int SampleRows(const std::string& csv) {
  const std::string text = TextOf(csv);
  int lines = 0;
  for (char c : text) lines += c == '\n';
  return lines - 2;  // header and units
}

TEST(TwoWriters, NeitherReplacesNorMixesTheOthersPairs) {
  struct Writer {
    const char* samples;  // tells the two runs' files apart
    const char* daq;
  };
  const Writer writers[] = {{"2", "sim:1"}, {"3", "sim:7"}};
  constexpr int kCycles = 200;
  TempDir dir, logs;
  std::filesystem::copy(VELQUOR_EXAMPLES_DIR, dir.path(), std::filesystem::copy_options::recursive);
  std::vector<pid_t> pids;
  for (std::size_t i = 0; i < std::size(writers); ++i) {
    pids.push_back(
        testing::StartCli(dir.path(),
                          {"measure", "--cycles", std::to_string(kCycles), "--samples",
                           writers[i].samples, "--interval", "1", "--daq", writers[i].daq},
                          logs / std::to_string(i), logs / (std::to_string(i) + ".err")));
  }
  std::map<std::string, int> owner;  // stem -> the writer that reported it
  const std::regex saved(R"(([^ ]*)_dat\.csv and ([^ ;]*)_csv\.csv)");
  for (std::size_t i = 0; i < pids.size(); ++i) {
    const int status = testing::WaitFor(pids[i]);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0)
        << TextOf(logs / (std::to_string(i) + ".err"));
    const std::string out = TextOf(logs / std::to_string(i));
    int reported = 0;
    for (std::sregex_iterator m(out.begin(), out.end(), saved), end; m != end; ++m) {
      ++reported;
      const std::string stem = std::filesystem::path((*m)[1].str()).filename().string();
      EXPECT_EQ((*m)[2].str(), (*m)[1].str());
      const auto [at, fresh] = owner.emplace(stem, static_cast<int>(i));
      EXPECT_TRUE(fresh) << stem << " reported by both runs";
    }
    EXPECT_EQ(reported, kCycles) << "every cycle reported saved once";
  }
  for (const auto& [stem, i] : owner) {
    const int samples = std::stoi(writers[i].samples);
    EXPECT_EQ(SampleRows(dir / (stem + "_csv.csv")), samples)
        << stem << " holds the other's samples";
    auto loaded = LoadDataFiles(dir / (stem + "_dat.csv"));
    ASSERT_TRUE(loaded.ok()) << loaded.problem().Describe();
    EXPECT_EQ(loaded.value()->record.DataNum, static_cast<float>(samples)) << stem;
  }
  // Nothing but the examples and the reported pairs, and nothing left half done.
  int files = 0;
  for (const auto& e : std::filesystem::directory_iterator(dir.path())) {
    const std::string name = e.path().filename().string();
    EXPECT_NE(name.rfind(".velquor-", 0), 0u) << name;
    files += name.size() > 8 && name.substr(name.size() - 8) == "_dat.csv";
  }
  EXPECT_EQ(files, 3 + static_cast<int>(owner.size()));
}

}  // namespace
}  // namespace velquor
