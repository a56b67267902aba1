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

using testing::ReadLabelledLine;

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
  // Read back alone; an older file has no line and keeps the defaults without a word.
  for (const auto& [text, expected] :
       {std::pair{line, s}, std::pair{std::string(), FeedbackSettings{}}}) {
    const auto back = ReadLabelledLine(ReadFeedbackSettings, text);
    EXPECT_TRUE(back.notices.empty()) << text;
    EXPECT_EQ(back.values, expected) << text;
  }

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
    SCOPED_TRACE(b.line);
    const auto r = ReadLabelledLine(ReadFeedbackSettings, b.line);
    testing::ExpectOneNotice(r.notices, b.field, b.says);
    EXPECT_EQ(r.values, FeedbackSettings{});
  }
}

}  // namespace
}  // namespace velquor
