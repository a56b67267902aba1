#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "files/data_files.h"
#include "files/hand_over_text.h"
#include "files/naming.h"
#include "files/naming_rules.h"
#include "files/push_csv_file.h"
#include "files/sim_measurement.h"
#include "files/summary_facts.h"
#include "files/temp_dir.h"

namespace velquor {
namespace {

TEST(Naming, ComposesStemAndPaths) {
  struct Case {
    std::string dir, head, org, stem, dat;
  };
  const Case cases[] = {
      {"C:\\data", "RUN", "12", "RUN0000012", "C:\\data\\RUN0000012_dat.csv"},
      {"d", "", "ab", "00000ab", "d\\00000ab_dat.csv"},
      {"d", "x", "123456789", "x123456789", "d\\x123456789_dat.csv"},  // longer is kept
      {"", "RUN", "1", "RUN0000001", "RUN0000001_dat.csv"},    // empty: the working directory
      {"d", "", "１２", "00000１２", "d\\00000１２_dat.csv"},  // padding counts characters
  };
  for (const auto& c : cases) {
    ComposedNames n = ComposeNames(c.dir, c.head, c.org);
    EXPECT_EQ(n.BaseName, c.stem) << c.org;
    EXPECT_EQ(n.DatFilePath, c.dat) << c.org;
    EXPECT_EQ(n.CsvFilePath, c.dat.substr(0, c.dat.size() - 8) + "_csv.csv") << c.org;
  }
}

// The save flag chooses the set; its number counts on and the names and note follow.
TEST(Naming, AdvanceCountsOnFromTheLeadingNumber) {
  struct Case {
    int flag;
    std::string org, next, base;
  };
  const Case cases[] = {
      {0, "12", "13", "A0000013"}, {1, "12", "13", "M0000013"},   {0, "007", "8", "A0000008"},
      {0, "ab", "1", "A0000001"},  {0, "2.5", "3.5", "A00003.5"},
  };
  for (const auto& c : cases) {
    FileNaming n;
    n.Auto = {"C:\\auto", "A", "12", "auto note", "", ""};
    n.Manual = {"C:\\man", "M", "5", "manual note", "", ""};
    NamingSet& set = c.flag == 0 ? n.Auto : n.Manual;
    const NamingSet& other = c.flag == 0 ? n.Manual : n.Auto;
    const std::string other_org = other.Org;
    set.Org = c.org;
    AdvanceFileNumber(n, c.flag);
    EXPECT_EQ(set.Org, c.next) << c.org;
    EXPECT_EQ(other.Org, other_org) << "the other set's number stays";
    EXPECT_EQ(n.BaseName, c.base) << c.org;
    EXPECT_EQ(n.DatFilePath, set.Dir + "\\" + c.base + "_dat.csv");
  }
}

// What a header, a file number and a note may hold; a note names no file, so may hold what a
// header may not.
TEST(NamingRules, HeadersNumbersAndNotes) {
  struct Rule {
    std::optional<std::string> (*fault)(std::string_view);
    std::vector<std::string> accepted;
    std::vector<std::pair<std::string, std::vector<std::string>>> refused;  // why, the texts
  };
  const Rule rules[] = {
      {HeaderFault,
       {"RUN", "...", "被験者A", ""},
       {{"holds \"\\\", which a file name cannot hold", {"..\\..\\ESC"}},
        {"names a folder", {".", ".."}},
        {"would shift the fields", {"M,1", "M\""}},
        {"line break", {"M\n"}}}},
      {NumberFault,
       {"", "0", "007", "9999999", "00009999999"},
       {{"not a whole number from 0 to 9999999", {"10000000"}},
        {"\"nan\" is not a whole number", {"nan"}},
        {"not a whole number", {"abc", "-5", "+5", "1e308", "2.5", " 12", "１２"}}}},
      {NoteFault,
       {"..\\:*?<>|", "ノート１ subject A", ""},
       {{"the note \"subject A, manual\" holds a \",\"", {"subject A, manual"}},
        {"double quote", {"say \"hi\""}},
        {"line break", {"two\r\nlines"}}}},
  };
  for (const Rule& rule : rules) {
    for (const std::string& text : rule.accepted) {
      const auto got = rule.fault(text);
      EXPECT_FALSE(got) << text << ": " << *got;
    }
    for (const auto& [piece, texts] : rule.refused) {
      for (const std::string& text : texts) {
        EXPECT_NE(rule.fault(text).value_or("").find(piece), std::string::npos) << text;
      }
    }
  }
  // A header names the character a file name cannot hold.
  for (const std::string text : {"a/b", "C:", "*", "a?", "<", ">", "|"}) {
    const std::string named = {'"', text[text.find_first_of("/:*?<>|")], '"'};
    EXPECT_NE(HeaderFault(text).value_or("").find(named), std::string::npos) << text;
  }
}

// The one save path refuses what the rules refuse, for either set, and says why; nothing is
// written anywhere and the number stays.
TEST(NamingRules, TheSaveRefusesWhatTheRulesRefuse) {
  testing::TempDir dir;
  std::filesystem::create_directory(dir / "out");
  auto m = testing::Simulate(3, 100);
  struct Case {
    int flag;
    std::string NamingSet::*box;
    std::string text, piece;
  };
  const Case cases[] = {
      {0, &NamingSet::Note, "manual, subject A", "the note \"manual, subject A\""},
      {1, &NamingSet::Note, "manual, subject A", "would shift the fields"},
      {1, &NamingSet::Note, "a\nb", "line break"},
      {0, &NamingSet::Org, "nan", "\"nan\" is not a whole number from 0 to 9999999"},
      {1, &NamingSet::Org, "-5", "not a whole number"},
      {0, &NamingSet::Head, "..\\..\\ESC", "holds \"\\\""},
      {1, &NamingSet::Head, "..", "names a folder"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    FileNaming naming;
    naming.Auto = {dir / "out", "RUN", "12", "auto", "", ""};
    naming.Manual = {dir / "out", "M", "5", "manual", "", ""};
    NamingSet& set = c.flag == 0 ? naming.Auto : naming.Manual;
    set.*c.box = c.text;
    const std::string org = set.Org;
    for (WhenTaken rule : {WhenTaken::kNextFreeNumber, WhenTaken::kRefuse, WhenTaken::kReplace}) {
      auto saved = SaveDataFiles(naming, c.flag, *m->rec, *m->series, m->strokes, {}, rule);
      ASSERT_FALSE(saved.ok());
      EXPECT_NE(saved.problem().what.find(c.piece), std::string::npos) << saved.problem().what;
      EXPECT_NE(saved.problem().what.find("not saved"), std::string::npos);
      EXPECT_EQ(set.Org, org);
    }
  }
  EXPECT_TRUE(std::filesystem::is_empty(dir / "out"));
  std::size_t entries = 0;
  for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir.path())) ++entries;
  EXPECT_EQ(entries, 1u) << "nothing beside the save directory either";
}

// Names this system proposes and says: the pushes' CSV beside the measurement, and what
// File Option says waits; paths with "/" between the parts.
TEST(Naming, ProposedAndShownNames) {
  struct Case {
    std::string got, expected;
  };
  const Case cases[] = {
      {ProposedPushCsvPath("C:\\data\\RUN0000012_dat.csv"), "/data/RUN0000012_pushes.csv"},
      {ProposedPushCsvPath("data\\subjA_dat.csv"), "data/subjA_pushes.csv"},
      {ProposedPushCsvPath("RUN0000001_dat.csv"), "RUN0000001_pushes.csv"},
      {ProposedPushCsvPath("x\\rundat.csv"), "x/run_pushes.csv"},
      {ProposedPushCsvPath(""), "pushes.csv"},
      {WaitingText("10:42:07", 2000, 1.0), "cycle of 10:42:07, 2000 samples at 1 ms, not saved"},
      {WaitingText("09:05:00", 300, 0.5), "cycle of 09:05:00, 300 samples at 0.5 ms, not saved"},
      {SaveSetText(1, ComposeNames("data", "M", "7")),
       "Save writes it with the Manual Save set as M0000007 (data/M0000007_dat.csv)"},
      {SaveSetText(0, ComposeNames("", "RUN", "12")),
       "Save writes it with the Auto Save set as RUN0000012 (RUN0000012_dat.csv)"},
  };
  for (const Case& c : cases) EXPECT_EQ(c.got, c.expected);
}

// The number a hand-over offers: the set's own when its pair is free, else the next free one.
TEST(Naming, FreeNumberPassesOverTakenPairs) {
  testing::TempDir dir;
  NamingSet set{dir.path(), "M", "6", "", "", ""};  // a "/" path is kept as it is
  EXPECT_EQ(FreeNumber(set).value(), "6");
  for (const char* taken : {"M0000006_dat.csv", "M0000007_csv.csv"}) {
    std::ofstream(dir / taken) << "x";
  }
  EXPECT_EQ(FreeNumber(set).value(), "8");
}

// The condition Data View lists beside each summary: the interval and the count of the first
// stroke row, for the layouts this program knows only.
TEST(Naming, SummaryConditionOfTheFirstStrokeRow) {
  struct Case {
    const char* text;
    const char* interval;
    const char* samples;
  };
  const Case cases[] = {
      {"head\r\nRUN0000001,12-06-2026,20:15:07,Velquor10, 2, 1500, 3,1,2\r\n", "2", "1500"},
      {"head\r\nM0000005,12-06-2026,20:15:07,Velquor05, .5,2000,1\r\n", ".5", "2000"},
      {"head\r\nRUN0000001,12-06-2026,20:15:07,Other,1,2,3,4,5,6,7,20,300\r\n", "", ""},
      {"head only\r\n", "", ""},
      {"", "", ""},
  };
  for (const Case& c : cases) {
    const SummaryCondition got = ReadSummaryCondition(c.text);
    EXPECT_EQ(got.interval, c.interval) << c.text;
    EXPECT_EQ(got.samples, c.samples) << c.text;
  }
}

}  // namespace
}  // namespace velquor
