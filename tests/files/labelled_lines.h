// A settings text whose labelled line stands where the program writes it (after the 16 fixed
// lines and a trial length, so that a notice names line 18); that line read back and checked.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "common/result.h"

namespace velquor::testing {

inline constexpr int kLabelledLine = 18;

inline std::string AfterFixedLines(const std::string& line) {
  std::string text;
  for (int k = 1; k < kLabelledLine - 1; ++k) text += "\"Line\"," + std::to_string(k) + "\r\n";
  return text + "\"Trial\",240\r\n" + line;
}

// What a reader of one labelled line made of it, starting from `values`, and its notices.
template <typename Values>
struct LineRead {
  Values values;
  std::vector<Problem> notices;
};

// Reads `line` in its place with `read` (one of the Read...Settings functions), as from
// "Velquor.ini".
template <typename Values>
LineRead<Values> ReadLabelledLine(void (*read)(std::string_view, const std::string&, Values&,
                                               std::vector<Problem>&),
                                  const std::string& line, Values values = {}) {
  LineRead<Values> r{std::move(values), {}};
  read(AfterFixedLines(line), "Velquor.ini", r.values, r.notices);
  return r;
}

// The one notice of a refused line: the file, the line, the field and a piece of its text.
inline void ExpectOneNotice(const std::vector<Problem>& notices, int field,
                            const std::string& says) {
  ASSERT_EQ(notices.size(), 1u);
  EXPECT_EQ(notices[0].file, "Velquor.ini");
  EXPECT_EQ(notices[0].line, kLabelledLine);
  EXPECT_EQ(notices[0].field, field);
  EXPECT_NE(notices[0].what.find(says), std::string::npos) << notices[0].what;
}

}  // namespace velquor::testing
