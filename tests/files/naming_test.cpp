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
      {"C:\\data", "", "", "0000000", "C:\\data\\0000000_dat.csv"},
      {"d", "", "ab", "00000ab", "d\\00000ab_dat.csv"},
      {"d", "x", "1234567", "x1234567", "d\\x1234567_dat.csv"},
      {"d", "x", "123456789", "x123456789", "d\\x123456789_dat.csv"},
      {"", "RUN", "1", "RUN0000001", "\\RUN0000001_dat.csv"},    // empty directory
      {"C:\\", "R", "1", "R0000001", "C:\\\\R0000001_dat.csv"},  // "\" added even so
      {"d", "", "１２", "00000１２", "d\\00000１２_dat.csv"},    // padding counts characters
  };
  for (const auto& c : cases) {
    ComposedNames n = ComposeNames(c.dir, c.head, c.org);
    EXPECT_EQ(n.BaseName, c.stem) << c.org;
    EXPECT_EQ(n.DatFilePath, c.dat) << c.org;
    EXPECT_EQ(n.CsvFilePath, c.dat.substr(0, c.dat.size() - 8) + "_csv.csv") << c.org;
  }
}

FileNaming TwoSets() {
  FileNaming n;
  n.Auto = {"C:\\auto", "A", "12", "auto note", "", ""};
  n.Manual = {"C:\\man", "M", "5", "manual note", "", ""};
  return n;
}

TEST(Naming, SaveFlagChoosesTheCurrentSetAndBothDisplaysFollow) {
  for (int flag : {0, 1}) {
    FileNaming n = TwoSets();
    MakeFileNames(n, flag);
    EXPECT_EQ(n.Auto.DatDisplay, "C:\\auto\\A0000012_dat.csv");
    EXPECT_EQ(n.Auto.CsvDisplay, "C:\\auto\\A0000012_csv.csv");
    EXPECT_EQ(n.Manual.DatDisplay, "C:\\man\\M0000005_dat.csv");
    EXPECT_EQ(n.Manual.CsvDisplay, "C:\\man\\M0000005_csv.csv");
    const NamingSet& cur = flag == 0 ? n.Auto : n.Manual;
    EXPECT_EQ(n.BaseName, flag == 0 ? "A0000012" : "M0000005");
    EXPECT_EQ(n.DatFilePath, cur.DatDisplay);
    EXPECT_EQ(n.CsvFilePath, cur.CsvDisplay);
    EXPECT_EQ(n.NoteText, cur.Note);
  }
}

TEST(Naming, AdvanceCountsOnFromTheLeadingNumber) {
  struct Case {
    int flag;
    std::string org, next, base;
  };
  const Case cases[] = {
      {0, "12", "13", "A0000013"},   {1, "12", "13", "M0000013"},
      {0, "007", "8", "A0000008"},   {0, "", "1", "A0000001"},
      {0, "ab", "1", "A0000001"},    {0, "9999999", "10000000", "A10000000"},
      {0, "2.5", "3.5", "A00003.5"},
  };
  for (const auto& c : cases) {
    FileNaming n = TwoSets();
    NamingSet& set = c.flag == 0 ? n.Auto : n.Manual;
    NamingSet& other = c.flag == 0 ? n.Manual : n.Auto;
    const std::string other_org = other.Org;
    set.Org = c.org;
    set.Head = c.flag == 0 ? "A" : "M";
    AdvanceFileNumber(n, c.flag);
    EXPECT_EQ(set.Org, c.next) << c.org;
    EXPECT_EQ(other.Org, other_org) << "the other set's number stays";
    EXPECT_EQ(n.BaseName, c.base) << c.org;
    EXPECT_NE(set.DatDisplay.find(c.base + "_dat.csv"), std::string::npos);
  }
}

}  // namespace
}  // namespace velquor
