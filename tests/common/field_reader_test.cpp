#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/field_reader.h"
#include "common/path_map.h"

namespace velquor {
namespace {

std::vector<Field> All(std::string_view text) {
  FieldReader r(text);
  std::vector<Field> out;
  while (auto f = r.Next()) out.push_back(*f);
  return out;
}

TEST(FieldReader, SplitsFieldsAndLines) {
  struct Case {
    std::string text;
    std::vector<std::string> fields;
  };
  const Case cases[] = {
      {"a, b,\"c,d\"\r\ne\r\n", {"a", "b", "c,d", "e"}},
      {"ヘッダ(Auto),\r\n", {"ヘッダ(Auto)", ""}},     // an empty value
      {"x,\r\n\r\ny", {"x", "", "", "y"}},             // an empty line is one empty field
      {"  lead, \"q\" junk,z\n", {"lead", "q", "z"}},  // junk after a closing quote dropped
      {"\"open,to end", {"open,to end"}},              // an unclosed quote runs to the end
      {"", {}},
  };
  for (const auto& c : cases) {
    auto got = All(c.text);
    std::vector<std::string> texts;
    for (const auto& f : got) texts.push_back(f.text);
    EXPECT_EQ(texts, c.fields) << c.text;
  }
}

TEST(PathMap, BackslashesAndDrives) {
  EXPECT_EQ(ToNativePath("C:\\data\\RUN0000012_dat.csv"), "/data/RUN0000012_dat.csv");
  EXPECT_EQ(ToNativePath("\\RUN0000012_dat.csv"), "/RUN0000012_dat.csv");
  EXPECT_EQ(ToNativePath("data\\x.csv"), "data/x.csv");
  EXPECT_EQ(ToNativePath("/tmp/a\\b"), "/tmp/a/b");
}

}  // namespace
}  // namespace velquor
