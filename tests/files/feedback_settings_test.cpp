// The feedback line of the settings file: written and read back, and every refusal naming its
// field while the defaults stay in force.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "files/feedback_settings.h"
#include "files/labelled_lines.h"
#include "files/settings_file.h"

namespace velquor {
namespace {

using testing::kLabelledLine;

struct Read {
  FeedbackSettings settings;
  std::vector<Problem> notices;
};

Read ReadLine(const std::string& line) {
  Read r;
  ReadFeedbackSettings(testing::AfterFixedLines(line), "Velquor.ini", r.settings, r.notices);
  return r;
}

TEST(FeedbackSettingsLine, ReadsBackWhatIsWrittenAndRefusesWhatIsNot) {
  FeedbackSettings s;
  s.schedule = FeedbackSchedule::kFaded;
  Target angle;
  angle.variable = static_cast<int>(PushFigure::kContactAngle);
  angle.low = ParseBandEnd("+10%").value();
  Target freq;
  freq.variable = kPushFrequencyVariable;
  freq.high = ParseBandEnd("-10%").value();
  freq.tone = true;
  s.targets = {angle, freq};
  const std::string line = FeedbackSettingsLine(s);
  EXPECT_EQ(line,
            "\"Feedback\",faded,2,contact_angle_deg,+10%,,0,push_frequency_per_min,,-10%,1\r\n");
  const Read back = ReadLine(line);
  EXPECT_TRUE(back.notices.empty());
  EXPECT_EQ(back.settings, s);
  EXPECT_EQ(ReadLine("").settings, FeedbackSettings{});  // an older file: no line, no word
  EXPECT_TRUE(ReadLine("").notices.empty());

  // Through the whole settings file: the line is there only once the targets are not the
  // defaults, and comes back as written, with or without the lines before it.
  for (const bool with_trial : {false, true}) {
    Settings settings = Settings::DesignTime();
    if (with_trial) settings.txtTrialLength = "240";
    EXPECT_EQ(SettingsText(settings).text.find("Feedback"), std::string::npos);
    settings.feedback = s;
    const SettingsLoad loaded = ReadSettingsText(SettingsText(settings).text, "Velquor.ini");
    EXPECT_EQ(loaded.values.feedback, s) << with_trial;
    EXPECT_TRUE(loaded.notices.empty()) << loaded.notices.front().Describe();
  }

  struct Bad {
    std::string line;
    int field;
    std::string says;
  };
  for (const Bad& b : std::vector<Bad>{
           {"\"Feedback\",sometimes,0\r\n", 2, "not a schedule"},
           {"\"Feedback\",every,5\r\n", 3, "0 to 4"},
           {"\"Feedback\",every,1,speed,,,0\r\n", 4, "not a push figure"},
           {"\"Feedback\",every,1,peak_torque_Nm,lots,,0\r\n", 5, "not a number"},
           {"\"Feedback\",every,1,peak_torque_Nm,,,yes\r\n", 7, "the tone is 0 or 1"},
           {"\"Feedback\",every,2,peak_torque_Nm,,,0\r\n", 8, "ends early"},
           {"\"Feedback\",every,2,peak_torque_Nm,,,0,peak_torque_Nm,,,0\r\n", 3, "chosen twice"},
       }) {
    const Read r = ReadLine(b.line);
    ASSERT_EQ(r.notices.size(), 1u) << b.line;
    EXPECT_EQ(r.notices[0].line, kLabelledLine);
    EXPECT_EQ(r.notices[0].field, b.field) << b.line;
    EXPECT_NE(r.notices[0].what.find(b.says), std::string::npos) << r.notices[0].what;
    EXPECT_EQ(r.settings, FeedbackSettings{}) << b.line;
  }
}

}  // namespace
}  // namespace velquor
