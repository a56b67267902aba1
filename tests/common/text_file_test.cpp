#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "common/shift_jis.h"
#include "common/text_file.h"

namespace velquor {
namespace {

class TempDir {
 public:
  TempDir() {
    std::string tmpl = (std::filesystem::temp_directory_path() / "velquor-test-XXXXXX").string();
    path_ = ::mkdtemp(tmpl.data());
  }
  ~TempDir() { std::filesystem::remove_all(path_); }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

TEST(ShiftJis, RoundTripsJapaneseHeadersAndRefusesWhatHasNoForm) {
  const std::string text = "ファイル,１ストロークの時間(sec),ノート\r\n";
  auto bytes = Utf8ToShiftJis(text);
  ASSERT_TRUE(bytes.ok());
  EXPECT_EQ(bytes.value().substr(0, 2), "\x83\x74");  // "フ" in code page 932
  EXPECT_EQ(bytes.value().substr(bytes.value().size() - 2), "\r\n");
  auto back = ShiftJisToUtf8(bytes.value());
  ASSERT_TRUE(back.ok());
  EXPECT_EQ(back.value(), text);

  auto emoji = Utf8ToShiftJis("note \xF0\x9F\x98\x80");
  ASSERT_FALSE(emoji.ok());
  EXPECT_NE(emoji.problem().what.find("byte 6"), std::string::npos) << emoji.problem().what;
  EXPECT_FALSE(ShiftJisToUtf8("\x81").ok());  // a lead byte with nothing after it
}

TEST(TextFile, AtomicWriteReplacesAndReadsBack) {
  TempDir dir;
  const std::string path = dir.path() + "/Velquor.ini";
  ASSERT_TRUE(WriteShiftJisFile(path, "データ数,100\r\n").ok());
  ASSERT_TRUE(WriteShiftJisFile(path, "データ数,200\r\n").ok());
  auto text = ReadShiftJisFile(path);
  ASSERT_TRUE(text.ok());
  EXPECT_EQ(text.value(), "データ数,200\r\n");
  // Only the target remains: the temporary file was renamed over it.
  int files = 0;
  for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir.path())) ++files;
  EXPECT_EQ(files, 1);
}

TEST(TextFile, FailuresNameThePathAndLeaveNothing) {
  TempDir dir;
  const std::string missing = dir.path() + "/no-such-dir/RUN_dat.csv";
  Status s = WriteShiftJisFile(missing, "x");
  ASSERT_FALSE(s.ok());
  EXPECT_EQ(s.problem().file, missing);
  EXPECT_FALSE(std::filesystem::exists(dir.path() + "/no-such-dir"));

  const std::string target = dir.path() + "/note.csv";
  Status bad = WriteShiftJisFile(target, "\xF0\x9F\x98\x80");
  ASSERT_FALSE(bad.ok());
  EXPECT_FALSE(std::filesystem::exists(target));
  EXPECT_TRUE(std::filesystem::is_empty(dir.path()));

  auto read = ReadShiftJisFile(dir.path() + "/absent.csv");
  ASSERT_FALSE(read.ok());
  EXPECT_NE(read.problem().Describe().find("absent.csv"), std::string::npos);
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
