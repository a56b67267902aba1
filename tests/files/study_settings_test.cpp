// The study line of the settings file: written only once a label is set, read back whole, and
// a label that breaks the rule dropped with a notice naming its line and field.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "files/settings_file.h"
#include "files/study_settings.h"

namespace velquor {
namespace {

TEST(StudySettingsLine, RoundTripsThroughTheSettingsFile) {
  struct Case {
    StudyLabels labels;
    std::string line;  // what the settings file ends with
  };
  const std::vector<Case> cases = {
      {{"P01", "S1", "push-test"}, "\"Study\",P01,S1,push-test\r\n"},
      {{"P01", "", ""}, "\"Study\",P01,,\r\n"},
      {{"", "", "sprint"}, "\"Study\",,,sprint\r\n"},
      {{"", "", ""}, ""},
  };
  for (const bool with_trial : {false, true}) {
    for (const Case& c : cases) {
      Settings s = Settings::DesignTime();
      if (with_trial) s.txtTrialLength = "240";
      s.study = c.labels;
      const std::string text = SettingsText(s).text;
      EXPECT_EQ(StudySettingsLine(c.labels), c.line);
      EXPECT_EQ(text.find("Study") != std::string::npos, !c.line.empty()) << c.line;
      const SettingsLoad back = ReadSettingsText(text, "Velquor.ini");
      EXPECT_EQ(back.values.study.participant, c.labels.participant) << c.line;
      EXPECT_EQ(back.values.study.session, c.labels.session) << c.line;
      EXPECT_EQ(back.values.study.task, c.labels.task) << c.line;
      EXPECT_TRUE(back.notices.empty()) << back.notices.front().Describe();
    }
  }
  // A label that breaks the rule never reaches the file.
  EXPECT_EQ(StudySettingsLine({"P 01", "S1", ""}), "\"Study\",,S1,\r\n");
  EXPECT_EQ(StudySettingsLine({"P 01", "", ""}), "");
}

TEST(StudySettingsLine, DropsABadLabelAndKeepsTheOthers) {
  struct Case {
    std::string line;
    StudyLabels kept;
    int field;  // of the notice, 0 for none
    std::string says;
  };
  const std::vector<Case> cases = {
      {"\"Study\",P_01,S1,push\r\n", {"", "S1", "push"}, 2, "Participant \"P_01\""},
      {"\"Study\",P01,\"S 1\",push\r\n", {"P01", "", "push"}, 3, "Session \"S 1\""},
      {"\"Study\",P01,S1,a/b\r\n", {"P01", "S1", ""}, 4, "not \"/\""},
      {"\"Study\",P01\r\n", {"P01", "", ""}, 0, ""},
      {"", {"old", "old", "old"}, 0, ""},  // no line: the labels stay as they were
  };
  constexpr int kLine = 18;  // after the 16 fixed lines and a trial length
  for (const Case& c : cases) {
    std::string text;
    for (int k = 1; k < kLine - 1; ++k) text += "\"Line\"," + std::to_string(k) + "\r\n";
    text += "\"Trial\",240\r\n" + c.line;
    StudyLabels labels{"old", "old", "old"};
    std::vector<Problem> notices;
    ReadStudySettings(text, "Velquor.ini", labels, notices);
    EXPECT_EQ(labels.participant, c.kept.participant) << c.line;
    EXPECT_EQ(labels.session, c.kept.session) << c.line;
    EXPECT_EQ(labels.task, c.kept.task) << c.line;
    if (c.field == 0) {
      EXPECT_TRUE(notices.empty()) << c.line;
      continue;
    }
    ASSERT_EQ(notices.size(), 1u) << c.line;
    EXPECT_EQ(notices[0].file, "Velquor.ini");
    EXPECT_EQ(notices[0].line, kLine);
    EXPECT_EQ(notices[0].field, c.field) << c.line;
    EXPECT_NE(notices[0].what.find(c.says), std::string::npos) << notices[0].what;
  }
}

}  // namespace
}  // namespace velquor
