// The minimal detectable changes of the settings file: written and read back through the whole
// file, and each bad pair dropped with a notice naming its field while the good ones stay.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "files/labelled_lines.h"
#include "files/mdc_settings.h"
#include "files/settings_file.h"

namespace velquor {
namespace {

using testing::ReadLabelledLine;

TEST(MdcSettingsLine, ReadsBackWhatIsWrittenAndDropsBadPairs) {
  const MdcSettings s{{{"push_frequency_per_min", 4}, {"contact_angle_deg", 5.5}}};
  EXPECT_EQ(MdcSettingsLine(s), "\"MDC\",push_frequency_per_min,4,contact_angle_deg,5.5\r\n");
  EXPECT_EQ(MdcSettingsLine({}), "");
  EXPECT_EQ(ReadLabelledLine(ReadMdcSettings, MdcSettingsLine(s)).values, s);
  EXPECT_EQ(s.For("contact_angle_deg"), 5.5);
  EXPECT_FALSE(s.For("smoothness").has_value());

  // Through the whole file: no line by default, the set changes back as written beside the
  // feedback targets.
  Settings settings = Settings::DesignTime();
  EXPECT_EQ(SettingsText(settings).text.find("MDC"), std::string::npos);
  settings.txtTrialLength = "120";
  settings.feedback.schedule = FeedbackSchedule::kFaded;
  settings.mdc = s;
  const SettingsLoad loaded = ReadSettingsText(SettingsText(settings).text, "Velquor.ini");
  EXPECT_TRUE(loaded.notices.empty()) << loaded.notices.front().Describe();
  EXPECT_EQ(loaded.values.mdc, s);
  EXPECT_EQ(loaded.values.feedback.schedule, FeedbackSchedule::kFaded);

  // Each bad pair is dropped; the good pair, peak torque 3, stays.
  struct Bad {
    std::string line;
    int field;
    std::string says;
  };
  for (const Bad& b : std::vector<Bad>{
           {"\"MDC\",speed,2,peak_torque_Nm,3\r\n", 2, "not a figure"},
           {"\"MDC\",on_s,2,peak_torque_Nm,3\r\n", 2, "not a figure"},
           {"\"MDC\",peak_torque_Nm,3,smoothness,lots\r\n", 5, "above 0"},
           {"\"MDC\",smoothness,0,peak_torque_Nm,3\r\n", 3, "above 0"},
           {"\"MDC\",smoothness,-1,peak_torque_Nm,3\r\n", 3, "above 0"},
           {"\"MDC\",peak_torque_Nm,3,smoothness\r\n", 5, "ends before"},
           {"\"MDC\",peak_torque_Nm,3,peak_torque_Nm,9\r\n", 4, "set twice"},
       }) {
    SCOPED_TRACE(b.line);
    const auto r = ReadLabelledLine(ReadMdcSettings, b.line);
    testing::ExpectOneNotice(r.notices, b.field, b.says);
    EXPECT_EQ(r.values, (MdcSettings{{{"peak_torque_Nm", 3}}}));
  }
}

}  // namespace
}  // namespace velquor
