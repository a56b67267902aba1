#include "files/summary_facts.h"

#include <gtest/gtest.h>

#include <string>

namespace velquor {
namespace {

// A stroke row: stem, date, time, tag, 39 figures, then the note.
std::string Row(const std::string& tag, const std::string& note) {
  std::string row = "RUN0000003,12-06-2026,20:15:07," + tag;
  for (int k = 0; k < 39; ++k) row += ",1";
  return row + "," + note + "\r\n";
}

TEST(ReadSummaryFacts, TakesTheFirstStrokeRowByPosition) {
  const std::string head = "ファイル,日付,時間,プログラム,...,ノート\r\n";
  struct Case {
    std::string text;
    SummaryFacts expected;
  };
  const Case cases[] = {
      {head + Row("Velquor10", "右手 痛み") + Row("Velquor10", "second row"),
       {"RUN0000003", "12-06-2026", "20:15:07", "Velquor10", "右手 痛み"}},
      {head + Row("Velquor05", "left, then right"),
       {"RUN0000003", "12-06-2026", "20:15:07", "Velquor05", "left, then right"}},
      // Another program's layout: the note's position is not known.
      {head + Row("Other", "x"), {"RUN0000003", "12-06-2026", "20:15:07", "Other", ""}},
      {head, {}},
      {"", {}},
  };
  for (const Case& c : cases) {
    const SummaryFacts f = ReadSummaryFacts(c.text);
    EXPECT_EQ(f.stem, c.expected.stem) << c.text;
    EXPECT_EQ(f.date, c.expected.date) << c.text;
    EXPECT_EQ(f.time, c.expected.time) << c.text;
    EXPECT_EQ(f.program, c.expected.program) << c.text;
    EXPECT_EQ(f.note, c.expected.note) << c.text;
  }
}

}  // namespace
}  // namespace velquor
