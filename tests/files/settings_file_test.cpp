#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "common/text_file.h"
#include "files/set_aside.h"
#include "files/settings_file.h"
#include "files/temp_dir.h"

namespace velquor {
namespace {

using testing::TempDir;

// The file of the older layout, and the one a first start writes when nothing was typed.
const std::string kFifteenLines =
    "ディレクトリ(Manual),\r\n"
    "ヘッダ(Manual),\r\n"
    "ファイル名(Manual),\r\n"
    "ディレクトリ(Auto),\r\n"
    "ヘッダ(Auto),\r\n"
    "ファイル名(Auto),\r\n"
    "測定間隔(msec),20\r\n"
    "データ数,100\r\n"
    "測定時間(sec),\r\n"
    "計算開始位置(sec),1\r\n"
    "計算終了位置(sec),4\r\n"
    "判別条件(Nm),2\r\n"
    "ch0 Color (RGB), 255, 0, 0\r\n"
    "ch1 Color (RGB), 0, 0, 255\r\n"
    "Other Color (RGB), 255, 0, 255\r\n";
const std::string kDesignTimeFile = kFifteenLines + "\"Push\",1,5,0.1,0.05,1,0\r\n";

Settings Typed() {
  Settings s = Settings::DesignTime();
  s.txtFileHead_Man = "M";
  s.txtFileDir = "C:\\データ";
  s.txtFileHead = "RUN";
  s.txtFileOrg = "12";
  return s;
}

// Every line typed with a value other than its design-time one.
Settings AllTyped() {
  Settings s = Typed();
  s.txtFileDir_Man = "D:\\man";
  s.txtFileOrg_Man = "3";
  s.txtTimerInterval = "5";
  s.txtDataNum = "400";
  s.txtSampTime = "2";
  s.txtStartPosCond = "0.5";
  s.txtEndPosCond = "1.5";
  s.txtLimitCond = "3";
  s.GraphColor = {MakeRgb(1, 2, 3), MakeRgb(4, 5, 6), MakeRgb(7, 8, 9)};
  s.push.threshold = 2.5;
  return s;
}

// The value of each of the lines 1 to 16, as text.
std::vector<std::string> LineValues(const Settings& s) {
  std::vector<std::string> v = {s.txtFileDir_Man,   s.txtFileHead_Man, s.txtFileOrg_Man,
                                s.txtFileDir,       s.txtFileHead,     s.txtFileOrg,
                                s.txtTimerInterval, s.txtDataNum,      s.txtSampTime,
                                s.txtStartPosCond,  s.txtEndPosCond,   s.txtLimitCond};
  for (Rgb c : s.GraphColor) v.push_back(std::to_string(c));
  v.push_back(std::to_string(s.push.threshold));
  return v;
}

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
  const auto at = text.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  return at == std::string::npos ? text : text.replace(at, from.size(), to);
}

TEST(SettingsFile, WritesTheFifteenLinesAsTheyHaveAlwaysBeen) {
  SettingsFileText f = SettingsText(Settings::DesignTime());
  EXPECT_EQ(f.text, kDesignTimeFile);
  EXPECT_TRUE(f.notices.empty());
  // Texts that need no quotes are written as they stand.
  std::string typed = SettingsText(Typed()).text;
  EXPECT_NE(
      typed.find("ディレクトリ(Auto),C:\\データ\r\nヘッダ(Auto),RUN\r\nファイル名(Auto),12\r\n"),
      std::string::npos);
}

// Line 17 holds where the screens were left; an entry that cannot be used is named and skipped.
TEST(SettingsFile, ScreenPlacesLiveOnLineSeventeen) {
  Settings s = Typed();
  s.screens = {{"Form2", 1120, -8, 360, 272}, {"Form6", 0, 40, 424, 344}};
  const std::string sixteen = SettingsText(Typed()).text;
  EXPECT_EQ(SettingsText(s).text,
            sixteen + "\"Screens\",Form2,1120,-8,360,272,Form6,0,40,424,344\r\n");
  EXPECT_EQ(ReadSettingsText(SettingsText(s).text, "Velquor.ini").values.screens, s.screens);
  const SettingsLoad bad =
      ReadSettingsText(sixteen + "\"Screens\",Form2,1,2,0,5,Form4,5,6,7,8\r\n", "Velquor.ini");
  EXPECT_EQ(bad.values.screens, (ScreenPlaces{{"Form4", 5, 6, 7, 8}}));
  ASSERT_EQ(bad.notices.size(), 1u);
  EXPECT_EQ(bad.notices[0].line, kScreensLine);
}

// Line 18 holds the trial length after the screens' places; files without it load as before,
// and a value that is not a number of seconds is named and left out.
TEST(SettingsFile, TrialLengthLivesOnLineEighteen) {
  Settings s = Typed();
  s.screens = {{"Form2", 1, 2, 3, 4}};
  s.txtTrialLength = "240";
  const std::string text = SettingsText(s).text;
  EXPECT_NE(text.find("\"Screens\",Form2,1,2,3,4\r\n\"Trial\",240\r\n"), std::string::npos);
  EXPECT_EQ(ReadSettingsText(text, "Velquor.ini").values.txtTrialLength, "240");
  s.screens.clear();  // no screen placed yet: the trial length follows line 16
  EXPECT_EQ(ReadSettingsText(SettingsText(s).text, "Velquor.ini").values.txtTrialLength, "240");
  const std::string sixteen = SettingsText(Typed()).text;
  const SettingsLoad older = ReadSettingsText(sixteen, "Velquor.ini");
  EXPECT_EQ(older.values.txtTrialLength, "");
  EXPECT_TRUE(older.notices.empty());
  const SettingsLoad bad = ReadSettingsText(sixteen + "\"Trial\",4 min\r\n", "Velquor.ini");
  EXPECT_EQ(bad.values.txtTrialLength, "");
  ASSERT_EQ(bad.notices.size(), 1u);
  EXPECT_EQ(bad.notices[0].line, kTrialLengthLine);
  EXPECT_EQ(bad.notices[0].field, 2);
}

TEST(SettingsFile, EveryTextReadsBackWhole) {
  // A comma would shift every later item, leading blanks would be lost, a line end inside
  // quotes must not put the items out of step; trailing blanks are kept as they are. Only a
  // text opening with a quote cannot be held whole: it loses its quotes, and saving says so.
  const std::pair<std::string, std::string> texts[] = {
      {"a,b", "a,b"},           {" lead", " lead"},
      {"x\"y", "x\"y"},         {"", ""},
      {"trail  ", "trail  "},   {"two\r\nlines", "two\r\nlines"},
      {"\"RUN\", A", "RUN, A"},
  };
  for (const auto& [t, back_as] : texts) {
    Settings s = Typed();
    s.txtFileDir_Man = t;
    s.txtFileDir = t;
    s.txtLimitCond = t;
    SettingsFileText f = SettingsText(s);
    std::vector<int> noticed;  // lines whose text could not be held whole
    for (const Problem& n : f.notices) noticed.push_back(n.line);
    EXPECT_EQ(noticed, (t == back_as ? std::vector<int>{} : std::vector<int>{1, 4, 12})) << t;
    SettingsLoad back = ReadSettingsText(f.text, "Velquor.ini");
    EXPECT_TRUE(back.notices.empty()) << t << ": " << back.notices.at(0).Describe();
    EXPECT_FALSE(back.unreadable) << t << ": " << back.unreadable->Describe();
    EXPECT_EQ(back.values.txtFileDir_Man, back_as);
    EXPECT_EQ(back.values.txtFileDir, back_as);
    EXPECT_EQ(back.values.txtLimitCond, back_as);
    EXPECT_EQ(back.values.txtFileHead_Man, "M") << t << ": the next item is not shifted";
  }
}

TEST(SettingsFile, WhatCannotBeReadKeepsItsDesignTimeValueWithANotice) {
  struct Case {
    std::string name;
    std::string text;
    int notice_line;
    std::string notice;  // a piece of it
    std::function<void(const Settings&)> check;
  };
  std::string typed = SettingsText(Typed()).text;
  const Case cases[] = {
      {"empty file", "", 1, "ends early",
       [](const Settings& s) { EXPECT_EQ(s.txtTimerInterval, "20"); }},
      {"ends after the data number", typed.substr(0, typed.find("測定時間(sec)")), 9, "line 9 on",
       [](const Settings& s) {
         EXPECT_EQ(s.txtFileHead, "RUN");
         EXPECT_EQ(s.txtStartPosCond, "1");
         EXPECT_EQ(s.GraphColor[2], MakeRgb(255, 0, 255));
       }},
      {"a component above 255",
       std::string(kDesignTimeFile).replace(kDesignTimeFile.find(" 255, 0, 255"), 12, " 300, 0, 0"),
       15, "0 to 255", [](const Settings& s) { EXPECT_EQ(s.GraphColor[2], MakeRgb(255, 0, 255)); }},
  };
  for (const auto& c : cases) {
    SettingsLoad got = ReadSettingsText(c.text, "Velquor.ini");
    ASSERT_FALSE(got.notices.empty()) << c.name;
    EXPECT_EQ(got.notices[0].file, "Velquor.ini") << c.name;
    EXPECT_EQ(got.notices[0].line, c.notice_line) << c.name << ": " << got.notices[0].Describe();
    EXPECT_NE(got.notices[0].what.find(c.notice), std::string::npos)
        << c.name << ": " << got.notices[0].Describe();
    c.check(got.values);
  }
}

// A "," typed into a value, a line that lost its "," or was left out, a label where a value
// belongs: the items no longer stand on their lines. The file is unreadable (to be kept
// aside), the lines before the step was lost keep what was typed and every later line its
// design-time value, so that no file is ever named after a label.
TEST(SettingsFile, ItemsOutOfStepMakeTheFileUnreadable) {
  const std::string typed = SettingsText(AllTyped()).text;
  struct Case {
    std::string name, text;
    int line, field;  // where the step was found lost
    int from;         // the first line keeping its design-time value
  };
  const Case cases[] = {
      {"a comma typed into the auto header",
       Replaced(typed, "ヘッダ(Auto),RUN", "ヘッダ(Auto),RU,N"), 5, 3, 5},
      {"a comma in the first line", Replaced(typed, "D:\\man", "D:\\m,an"), 1, 3, 1},
      {"a line without its comma", Replaced(typed, "データ数,400", "データ数400"), 9, 1, 8},
      {"a line left out", Replaced(typed, "ファイル名(Manual),3\r\n", ""), 3, 1, 3},
      {"a label where a value belongs",
       Replaced(typed, "ヘッダ(Manual),M", "ヘッダ(Manual),データ数"), 2, 2, 2},
      {"a colour component too many", Replaced(typed, " 4, 5, 6", " 4, 5, 6, 7"), 14, 5, 14},
  };
  const std::vector<std::string> want_typed = LineValues(AllTyped());
  const std::vector<std::string> design = LineValues(Settings::DesignTime());
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const SettingsLoad got = ReadSettingsText(c.text, "Velquor.ini");
    ASSERT_TRUE(got.unreadable.has_value());
    EXPECT_EQ(got.unreadable->file, "Velquor.ini");
    EXPECT_EQ(got.unreadable->line, c.line) << got.unreadable->Describe();
    EXPECT_EQ(got.unreadable->field, c.field) << got.unreadable->Describe();
    EXPECT_NE(got.unreadable->what.find("from line " + std::to_string(c.from) + " on keep"),
              std::string::npos)
        << got.unreadable->what;
    EXPECT_TRUE(got.notices.empty()) << got.notices.at(0).Describe();
    const std::vector<std::string> values = LineValues(got.values);
    for (std::size_t k = 0; k < values.size(); ++k) {
      const int line = static_cast<int>(k) + 1;
      EXPECT_EQ(values[k], line < c.from ? want_typed[k] : design[k]) << "line " << line;
    }
  }
}

// A header or file number no file may be named with is left empty; a condition Start
// refuses stays as written (the main window marks it), both with the file, line and field.
TEST(SettingsFile, ValuesAreCheckedOnReading) {
  struct Case {
    std::string Settings::*box;
    int line;
    std::string text;
    std::string piece;  // of the notice; empty: accepted without a word
    bool kept;          // the value stays as written although refused
  };
  const Case cases[] = {
      {&Settings::txtFileOrg, 6, "nan", "not a whole number from 0 to 9999999", false},
      {&Settings::txtFileOrg, 6, "abc", "not a whole number", false},
      {&Settings::txtFileOrg, 6, "-5", "not a whole number", false},
      {&Settings::txtFileOrg, 6, "1e308", "not a whole number", false},
      {&Settings::txtFileOrg, 6, "12.5", "not a whole number", false},
      {&Settings::txtFileOrg, 6, "10000000", "not a whole number", false},
      {&Settings::txtFileOrg_Man, 3, "0x1F", "not a whole number", false},
      {&Settings::txtFileOrg, 6, "", "", false},
      {&Settings::txtFileOrg, 6, "0", "", false},
      {&Settings::txtFileOrg, 6, "0009999999", "", false},
      {&Settings::txtFileHead, 5, "..\\..\\ESC", "holds \"\\\"", false},
      {&Settings::txtFileHead, 5, "a/b", "holds \"/\"", false},
      {&Settings::txtFileHead, 5, "C:", "holds \":\"", false},
      {&Settings::txtFileHead, 5, "x*?", "holds \"*\"", false},
      {&Settings::txtFileHead, 5, "<|>", "holds \"<\"", false},
      {&Settings::txtFileHead_Man, 2, "..", "names a folder", false},
      {&Settings::txtFileHead_Man, 2, ".", "names a folder", false},
      {&Settings::txtFileHead, 5, "...", "", false},
      {&Settings::txtFileHead, 5, "データ", "", false},
      {&Settings::txtTimerInterval, 7, "abc", "Timer Interval \"abc\" is not a number", true},
      {&Settings::txtTimerInterval, 7, "0.4", "Timer Interval", true},
      {&Settings::txtDataNum, 8, "5000", "Data Number 5000", true},
      {&Settings::txtDataNum, 8, "1", "Data Number 1", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    Settings s = Typed();
    s.*c.box = c.text;
    const SettingsLoad got = ReadSettingsText(SettingsText(s).text, "Velquor.ini");
    EXPECT_FALSE(got.unreadable);
    if (c.piece.empty()) {
      EXPECT_TRUE(got.notices.empty()) << got.notices.at(0).Describe();
      EXPECT_EQ(got.values.*c.box, c.text);
      continue;
    }
    ASSERT_EQ(got.notices.size(), 1u);
    const Problem& n = got.notices[0];
    EXPECT_EQ(n.file, "Velquor.ini");
    EXPECT_EQ(n.line, c.line) << n.Describe();
    EXPECT_EQ(n.field, 2) << n.Describe();
    EXPECT_NE(n.what.find(c.piece), std::string::npos) << n.what;
    EXPECT_EQ(got.values.*c.box, c.kept ? c.text : "");
  }
}

TEST(SettingsFile, PushLineIsOptionalAndLaterLinesAreLeftAlone) {
  PushParameters typed;
  typed.threshold = 2.5;
  typed.min_push = 0.125;
  typed.skip_last = 2;
  Settings s = Settings::DesignTime();
  s.push = typed;
  const std::string written = SettingsText(s).text;
  EXPECT_NE(written.find("\r\n\"Push\",2.5,5,0.125,0.05,1,2\r\n"), std::string::npos);
  struct Case {
    const char* name;
    std::string text;
    PushParameters want;
    int notice_field;  // 0: no notice
  };
  PushParameters bad_gap;
  bad_gap.threshold = 2.5;
  const Case cases[] = {
      {"older layout: defaults", kFifteenLines, {}, 0},
      {"as written", written, typed, 0},
      {"a refused merge gap keeps its default", kFifteenLines + "Push,2.5,5,0.1,-1,1,0\r\n",
       bad_gap, 5},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const SettingsLoad got = ReadSettingsText(c.text, "Velquor.ini");
    EXPECT_EQ(got.values.push, c.want);
    if (c.notice_field == 0) {
      EXPECT_TRUE(got.notices.empty()) << got.notices.at(0).Describe();
    } else {
      ASSERT_EQ(got.notices.size(), 1u);
      EXPECT_EQ(got.notices[0].line, 16);
      EXPECT_EQ(got.notices[0].field, c.notice_field) << got.notices[0].Describe();
    }
  }
}

// A settings or calibration file that is there but cannot be read (saved as UTF-8 by an
// editor) is renamed before a new one is written in its place; a second one does not
// replace the first kept copy.
TEST(UnreadableFiles, StayWhenNoNameIsLeftToKeepThemUnder) {
  TempDir dir;
  const std::string utf8 = "\xEF\xBB\xBF\xE3\x83\x87\xE3\x83\xBC\xE3\x82\xBF\xE6\x95\xB0,100\r\n";
  const std::string full = dir / "full.ini";
  ASSERT_TRUE(WriteFileAtomic(full, utf8).ok());
  std::ofstream{full + ".unreadable"};
  for (int n = 2; n <= 1000; ++n) std::ofstream{full + ".unreadable." + std::to_string(n)};
  std::vector<Problem> notices;
  EXPECT_FALSE(KeepUnreadable(LoadSettings(full).unreadable, true, notices));
  EXPECT_NE(notices.at(0).what.find("not written"), std::string::npos) << notices[0].what;
  EXPECT_EQ(ReadFileBytes(full).value(), utf8);
}

// The file out of step is renamed before anything is written; the notice names both files
// and the line where the step was lost, and what is written next holds no label as a value.
TEST(UnreadableFiles, ItemsOutOfStepAreKeptAsideBeforeAnythingIsWritten) {
  TempDir dir;
  const std::string path = dir / "Velquor.ini";
  const std::string bytes =
      Replaced(SettingsText(AllTyped()).text, "ヘッダ(Auto),RUN", "ヘッダ(Auto),RU,N");
  ASSERT_TRUE(WriteShiftJisFile(path, bytes).ok());
  const std::string on_disk = ReadFileBytes(path).value();
  SettingsLoad load = LoadSettings(path);
  ASSERT_TRUE(KeepUnreadable(load.unreadable, true, load.notices));
  ASSERT_EQ(load.notices.size(), 1u);
  const Problem& n = load.notices[0];
  EXPECT_EQ(n.file, path);
  EXPECT_EQ(n.line, 5);
  EXPECT_NE(n.what.find("kept as " + path + ".unreadable"), std::string::npos) << n.what;
  EXPECT_NE(n.what.find("new " + path), std::string::npos) << n.what;
  EXPECT_FALSE(std::filesystem::exists(path));
  EXPECT_EQ(ReadFileBytes(path + ".unreadable").value(), on_disk);

  ASSERT_TRUE(SaveSettings(load.values, path).ok());
  const SettingsLoad again = LoadSettings(path);
  EXPECT_FALSE(again.unreadable);
  EXPECT_EQ(again.values.txtFileHead, "");
  EXPECT_EQ(again.values.txtFileOrg, "");
  EXPECT_EQ(again.values.txtFileDir, "C:\\データ");
  EXPECT_EQ(ReadFileBytes(path + ".unreadable").value(), on_disk);
}

}  // namespace
}  // namespace velquor
