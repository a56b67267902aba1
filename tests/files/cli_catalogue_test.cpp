#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include "app/cli/catalogue_command.h"
#include "app/cli/cli_options.h"
#include "catalogue/study_trials.h"
#include "files/temp_dir.h"

namespace velquor::cli {
namespace {

using velquor::testing::TempDir;

struct Ran {
  int status = 0;
  std::string out, err;
};

Ran RunCli(const std::vector<std::string>& args) {
  const Result<Invocation> inv = ParseCommandLine(args);
  EXPECT_TRUE(inv.ok()) << inv.problem().what;
  if (!inv) return {2, "", inv.problem().what};
  std::ostringstream out, err;
  const int status = RunCatalogue(inv.value().catalogue, CliPaths{}, out, err);
  return {status, out.str(), err.str()};
}

std::size_t Lines(const std::string& text) {
  return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
}

TEST(CliCatalogue, ScanTwiceThenList) {
  TempDir dir;
  int n = 1;
  for (const char* p : {"P01", "P02"}) {
    for (const char* s : {"1", "2", "3"}) {
      velquor::testing::SaveTrial(dir.path(), "RUN" + std::to_string(1000000 + n), n + 1,
                                  {p, s, "steady"}, 1.0, 4);
      n += 2;
    }
  }
  const Ran first = RunCli({"catalogue", "scan", dir.path()});
  EXPECT_EQ(first.status, 0) << first.err;
  EXPECT_NE(first.err.find("6 trials, 12 pairs"), std::string::npos) << first.err;
  EXPECT_NE(first.err.find("18 rows added, 0 changed, 0 removed"), std::string::npos);
  const Ran second = RunCli({"catalogue", "scan", dir.path()});
  EXPECT_NE(second.err.find("0 rows added, 0 changed, 0 removed"), std::string::npos) << second.err;

  struct Case {
    std::vector<std::string> args;
    std::size_t lines;  // with the header
  };
  const std::vector<Case> cases = {
      {{"catalogue", "list", dir.path()}, 7},
      {{"catalogue", "list", "--participant", "P02", dir.path()}, 4},
      {{"catalogue", "list", "--session", "2", "--participant", "P01", dir.path()}, 2},
      {{"catalogue", "list", "--task", "sprint", dir.path()}, 1},
      {{"catalogue", "list", "--json", "--participant", "P01", dir.path()}, 1},
  };
  for (const Case& c : cases) {
    const Ran r = RunCli(c.args);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(Lines(r.out), c.lines) << r.out;
  }
  const Ran json = RunCli({"catalogue", "list", "--json", "--participant", "P01", dir.path()});
  std::size_t objects = 0;
  for (std::size_t at = json.out.find("{\"folder\""); at != std::string::npos;
       at = json.out.find("{\"folder\"", at + 1)) {
    ++objects;
  }
  EXPECT_EQ(objects, 3u) << json.out;
  EXPECT_NE(json.out.find(R"("participant":"P01","session":"1","task":"steady")"),
            std::string::npos);
}

TEST(CliCatalogue, ExportBidsTakesEveryParticipantGiven) {
  const Result<Invocation> inv = ParseCommandLine(std::vector<std::string>{
      "export-bids", "--out", "ds", "--participant", "P1", "--participant", "P2", "--dir", "d"});
  ASSERT_TRUE(inv.ok()) << inv.problem().what;
  EXPECT_EQ(inv.value().exportBids.participants, (std::vector<std::string>{"P1", "P2"}));
  EXPECT_EQ(inv.value().exportBids.out, "ds");
  EXPECT_EQ(inv.value().exportBids.dir, "d");
}

TEST(CliCatalogue, UsageErrors) {
  struct Case {
    std::vector<std::string> args;
    const char* message;
  };
  const std::vector<Case> cases = {
      {{"catalogue", "scan"}, "catalogue scan needs DIR"},
      {{"catalogue", "sweep", "x"}, "catalogue takes scan or list, not \"sweep\""},
      {{"catalogue", "list", "--participant", "P_1"}, "participant \"P_1\" may hold only"},
      {{"catalogue", "scan", "--json", "x"}, "catalogue scan takes DIR only"},
      {{"export-bids"}, "export-bids needs --out DIR"},
      {{"export-bids", "--out", "x", "--participant", "P1", "--participant", "a b"},
       "participant \"a b\" may hold only"},
  };
  for (const Case& c : cases) {
    const Result<Invocation> inv = ParseCommandLine(c.args);
    ASSERT_FALSE(inv.ok()) << c.message;
    EXPECT_NE(inv.problem().what.find(c.message), std::string::npos) << inv.problem().what;
  }
}

}  // namespace
}  // namespace velquor::cli
