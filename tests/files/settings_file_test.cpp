#include <gtest/gtest.h>

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
    s.txtFileHead = t;
    s.txtLimitCond = t;
    SettingsFileText f = SettingsText(s);
    std::vector<int> noticed;  // lines whose text could not be held whole
    for (const Problem& n : f.notices) noticed.push_back(n.line);
    EXPECT_EQ(noticed, (t == back_as ? std::vector<int>{} : std::vector<int>{1, 5, 12})) << t;
    SettingsLoad back = ReadSettingsText(f.text, "Velquor.ini");
    EXPECT_TRUE(back.notices.empty()) << t << ": " << back.notices.at(0).Describe();
    EXPECT_EQ(back.values.txtFileDir_Man, back_as);
    EXPECT_EQ(back.values.txtFileHead, back_as);
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
      {"an old file with an unquoted comma",
       "ディレクトリ(Manual),a,b\r\n" +
           kDesignTimeFile.substr(kDesignTimeFile.find("ヘッダ(Manual)")),
       1, "out of step",
       [](const Settings& s) {
         EXPECT_EQ(s.txtFileDir_Man, "a");
         EXPECT_EQ(s.txtFileHead_Man, "ヘッダ(Manual)");  // read one field early, as stored
       }},
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

}  // namespace
}  // namespace velquor
