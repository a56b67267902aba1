#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "common/number_parse.h"
#include "common/number_text.h"

namespace velquor {
namespace {

struct FloatCase {
  float v;
  const char* str;
  const char* plain;
};

TEST(NumberForms, SingleStrAndPlainForm) {
  const FloatCase cases[] = {
      {0.25f, " .25", "0.25"},
      {-0.5f, "-.5", "-0.5"},
      {12.0f, " 12", "12"},
      {-0.0f, " 0", "0"},                              // negative zero prints as zero
      {0.00001f, " 1E-05", "1E-05"},                   // exponent below -4
      {0.0001f, " .0001", "0.0001"},                   // exponent -4 stays fixed
      {12345678.0f, " 1.234568E+07", "1.234568E+07"},  // reaches the 7 digits
      {1234567.0f, " 1234567", "1234567"},
      {0.25390625f, " .2539063", "0.2539063"},  // exact tie rounds away from zero
      {-0.029296875f, "-.02929688", "-0.02929688"},
      {9.9999999f, " 10", "10"},     // stored as 10 in single
      {0.099999998f, " .1", "0.1"},  // rounds up to a new leading digit
      {-3e-7f, "-3E-07", "-3E-07"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(StrForm(c.v), c.str) << "value " << c.v;
    EXPECT_EQ(PlainForm(c.v), c.plain) << "value " << c.v;
  }
}

struct DoubleCase {
  double v;
  const char* str;
  const char* plain;
};

TEST(NumberForms, DoubleStrAndPlainForm) {
  const DoubleCase cases[] = {
      {20.0, " 20", "20"},
      {20.0 / 1000 * 3, " .06", "0.06"},
      {0.1 + 0.2, " .3", "0.3"},  // 15 digits hide the binary error
      {1.23456789012345678, " 1.23456789012346", "1.23456789012346"},  // 15th digit rounds
      {1e15, " 1E+15", "1E+15"},
      {1e-5, " 1E-05", "1E-05"},
      {1e100, " 1E+100", "1E+100"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(StrForm(c.v), c.str) << "value " << c.v;
    EXPECT_EQ(PlainForm(c.v), c.plain) << "value " << c.v;
  }
}

TEST(NumberForms, DigitPatterns) {
  struct Case {
    double v;
    const char* pattern;
    const char* text;
  };
  const Case cases[] = {
      {0.5, "###.#", ".5"},
      {0.05, "###.#", ".1"},  // the double just above 0.05
      {0.25, "###.#", ".3"},  // an exact half rounds away from zero
      {-0.25, "###.#", "-.3"},
      {12.34567, "##.####", "12.3457"},
      {static_cast<double>(1.2f), "##.##", "1.2"},
      {static_cast<double>(0.0123f * 1000.0f), "###.#", "12.3"},
      {-0.04, "###.#", "-."},        // rounds to nothing, still negative
      {-0.0, "###.#", "."},          // negative zero is not a negative value
      {1234.56, "###.#", "1234.6"},  // the integer part keeps all its digits
      {9.96, "###.#", "10."},
      {1.005, "##.##", "1."},  // 1.00499999... in binary
      {0.0005, "##.###", ".001"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FormatPattern(c.v, c.pattern), c.text) << c.v << " with " << c.pattern;
  }
}

TEST(NumberParse, ValLeadingNumber) {
  struct Case {
    const char* text;
    double v;
  };
  const Case cases[] = {
      {" - 1 2.5e1x", -125.0}, {"", 0.0},      {".", 0.0},  {"1e", 1.0},      {"1,5", 1.0},
      {"  12abc", 12},         {"1.2.3", 1.2}, {".5", 0.5}, {"\t1\n2", 12.0}, {"abc12", 0.0},
  };
  for (const auto& c : cases) EXPECT_DOUBLE_EQ(Val(c.text), c.v) << '"' << c.text << '"';
  EXPECT_TRUE(std::isinf(Val("1e999")));
}

TEST(NumberParse, CompleteAndWholeNumbers) {
  EXPECT_EQ(ParseComplete(" 2.5 "), 2.5);
  EXPECT_EQ(ParseComplete("-.5"), -0.5);
  for (const char* bad : {"", "  ", "2.5x", "abc", "1 2", ".", "1e999"}) {
    EXPECT_FALSE(ParseComplete(bad).has_value()) << '"' << bad << '"';
  }
  EXPECT_EQ(ParseWhole16("2.5"), 2);  // halves to even
  EXPECT_EQ(ParseWhole16("3.5"), 4);
  EXPECT_FALSE(ParseWhole16("32768").has_value());
  EXPECT_FALSE(ParseWhole16("x").has_value());
  EXPECT_EQ(RoundHalfEven(1.5), 2.0);
}

}  // namespace
}  // namespace velquor
