#include <gtest/gtest.h>

#include <string>

#include "files/naming.h"

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

}  // namespace
}  // namespace velquor
