// The study line of the settings file: written only once a label is set, read back whole, and
// a label that breaks the rule dropped with a notice naming its line and field.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "files/labelled_lines.h"
#include "files/settings_file.h"
#include "files/study_settings.h"

namespace velquor {
namespace {

std::string Joined(const StudyLabels& l) {
  return l.participant + "|" + l.session + "|" + l.task;
}

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
      EXPECT_EQ(Joined(back.values.study), Joined(c.labels)) << c.line;
      EXPECT_TRUE(back.notices.empty()) << back.notices.front().Describe();
    }
  }
  // A label that breaks the rule never reaches the file.
  EXPECT_EQ(StudySettingsLine({"P 01", "S1", ""}), "\"Study\",,S1,\r\n");
  EXPECT_EQ(StudySettingsLine({"P 01", "", ""}), "");
}

TEST(StudySettingsLine, DropsABadLabelAndKeepsTheOthers) {
  struct Case {
    std::string line, kept;  // kept: the labels after, joined
    int field;               // of the notice, 0 for none
    std::string says;
  };
  const std::vector<Case> cases = {
      {"\"Study\",P_01,S1,push\r\n", "|S1|push", 2, "Participant \"P_01\""},
      {"\"Study\",P01,\"S 1\",push\r\n", "P01||push", 3, "Session \"S 1\""},
      {"\"Study\",P01,S1,a/b\r\n", "P01|S1|", 4, "not \"/\""},
      {"\"Study\",P01\r\n", "P01||", 0, ""},
      {"", "old|old|old", 0, ""},  // no line: the labels stay as they were
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    const auto r =
        testing::ReadLabelledLine(ReadStudySettings, c.line, StudyLabels{"old", "old", "old"});
    EXPECT_EQ(Joined(r.values), c.kept);
    if (c.field == 0) {
      EXPECT_TRUE(r.notices.empty());
    } else {
      testing::ExpectOneNotice(r.notices, c.field, c.says);
    }
  }
}

}  // namespace
}  // namespace velquor
