#include <gtest/gtest.h>

#include <numeric>
#include <string>

#include "report/report_texts.h"
#include "report/table_fit.h"
#include "report/text_width.h"

namespace velquor {
namespace {

TEST(ReportTexts, DatesZerosAndCoefficients) {
  struct Case {
    std::string got, expected;
  };
  const Case cases[] = {
      {IsoDateTime("12-07-2026", "10:42:07"), "2026-12-07 10:42"},
      {IsoDateTime("01-02-2027", "09:05:59 (time of the file)"),
       "2027-01-02 09:05 (time of the file)"},
      {IsoDate("12-07-2026"), "2026-12-07"},
      {IsoDate("2026-12-07"), "2026-12-07"},
      {IsoDate("7-12-2026"), "7-12-2026"},
      {ZeroAsZero("."), "0"},
      {ZeroAsZero("-."), "0"},
      {ZeroAsZero("0.000"), "0"},
      {ZeroAsZero("-0.000"), "0"},
      {ZeroAsZero(" 0"), "0"},
      {ZeroAsZero(".5"), ".5"},
      {ZeroAsZero("10."), "10."},
      {ZeroAsZero("0.001"), "0.001"},
      {ZeroAsZero("No.1"), "No.1"},
      {ZeroAsZero(""), ""},
      {CoefficientText(static_cast<double>(20.0000038f)), "20.000004"},
      {CoefficientText(static_cast<double>(19.99f)), "19.99"},
      {CoefficientText(-0.25), "-0.25"},
      {CoefficientText(0), "0"},
  };
  for (const Case& c : cases) EXPECT_EQ(c.got, c.expected);
}

double Total(const TextTable& t) {
  return std::accumulate(t.widths.begin(), t.widths.end(), 0.0);
}

TEST(FitTable, EveryTextFitsItsColumnInSevenPointsAtLeast) {
  struct Case {
    const char* what;
    std::vector<std::string> head;
    std::vector<std::string> row;
    std::vector<double> widths;
    int headLines;
    double points;
  };
  const Case cases[] = {
      {"texts that fit stay as given", {"Push", "On (s)"}, {"1", "0.307"}, {14, 20}, 1, kTablePt},
      {"a long head is broken in two",
       {"Push", "Peak power (W)"},
       {"1", "25.297"},
       {30, 15},
       2,
       kTablePt},
      {"a wide cell takes room from a column with room to spare",
       {"Push", "Work (J)"},
       {"1", "-123456.789"},
       {30, 12},
       1,
       kTablePt},
      {"a table too narrow for its texts grows up to the width",
       {"A", "B", "C"},
       {std::string(30, '8'), std::string(30, '8'), std::string(30, '8')},
       {20, 20, 20},
       1,
       kTablePt},
      {"texts wider than the width are set smaller",
       {"A", "B", "C"},
       {std::string(35, '8'), std::string(35, '8'), std::string(35, '8')},
       {20, 20, 20},
       1,
       7.25},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TextTable t;
    t.head = c.head;
    t.rows = {c.row};
    t.widths = c.widths;
    const double given = Total(t);
    FitTable(t, 180);
    EXPECT_EQ(t.headLines, c.headLines);
    EXPECT_EQ(t.points, c.points);
    EXPECT_LE(Total(t), std::max(given, 180.0) + 1e-9);
    for (std::size_t col = 0; col < t.widths.size(); ++col) {
      const double room = t.widths[col] - 2 * kCellPaddingMm + 1e-9;
      EXPECT_LE(TextWidthMm(t.rows[0][col], t.points), room) << col;
      std::size_t from = 0;
      const std::string& head = t.head[col];
      while (from <= head.size()) {
        const std::size_t end = std::min(head.find('\n', from), head.size());
        EXPECT_LE(TextWidthMm(head.substr(from, end - from), t.points, true), room) << head;
        from = end + 1;
      }
    }
  }
}

}  // namespace
}  // namespace velquor
