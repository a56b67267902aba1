#include <gtest/gtest.h>

#include <sys/stat.h>

#include <string>

#include "common/shift_jis.h"
#include "common/text_file.h"
#include "files/temp_dir.h"

namespace velquor {
namespace {

using testing::TempDir;

TEST(ShiftJis, RoundTripsJapaneseHeadersAndRefusesWhatHasNoForm) {
  const std::string text = "ファイル,１ストロークの時間(sec),ノート\r\n";
  auto bytes = Utf8ToShiftJis(text);
  ASSERT_TRUE(bytes.ok());
  EXPECT_EQ(bytes.value().substr(0, 2), "\x83\x74");  // "フ" in code page 932
  auto back = ShiftJisToUtf8(bytes.value());
  ASSERT_TRUE(back.ok());
  EXPECT_EQ(back.value(), text);

  auto emoji = Utf8ToShiftJis("note \xF0\x9F\x98\x80");
  ASSERT_FALSE(emoji.ok());
  EXPECT_NE(emoji.problem().what.find("byte 6"), std::string::npos) << emoji.problem().what;
  EXPECT_FALSE(ShiftJisToUtf8("\x81").ok());  // a lead byte with nothing after it
}

// What is no file the program wrote is refused at once, before anything is read.
TEST(TextFile, ReadsOnlyRegularFilesOfSaneSize) {
  TempDir dir;
  const std::string fifo = dir.path() + "/fifo_dat.csv";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const std::string big = dir.path() + "/big_csv.csv";
  ASSERT_TRUE(WriteFileAtomic(big, std::string(kMaxReadBytes + 1, ' ')).ok());
  struct Case {
    std::string path, what;
  };
  const Case cases[] = {
      {fifo, "not a regular file"},         // once waited for a writer for ever
      {"/dev/zero", "not a regular file"},  // once read until memory ran out
      {dir.path(), "is a directory"},
      {big, "larger than any file"},
  };
  for (const Case& c : cases) {
    auto read = ReadFileBytes(c.path);
    ASSERT_FALSE(read.ok()) << c.path;
    EXPECT_EQ(read.problem().file, c.path);
    EXPECT_NE(read.problem().what.find(c.what), std::string::npos) << read.problem().Describe();
  }
  EXPECT_TRUE(ReadFileBytes(big, kMaxReadBytes + 1).ok());
}

}  // namespace
}  // namespace velquor
