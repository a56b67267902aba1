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

using testing::kLabelledLine;

struct Read {
  MdcSettings settings;
  std::vector<Problem> notices;
};

Read ReadLine(const std::string& line) {
  Read r;
  ReadMdcSettings(testing::AfterFixedLines(line), "Velquor.ini", r.settings, r.notices);
  return r;
}

TEST(MdcSettingsLine, ReadsBackWhatIsWrittenAndDropsBadPairs) {
  const MdcSettings s{{{"push_frequency_per_min", 4}, {"contact_angle_deg", 5.5}}};
  EXPECT_EQ(MdcSettingsLine(s), "\"MDC\",push_frequency_per_min,4,contact_angle_deg,5.5\r\n");
  EXPECT_EQ(MdcSettingsLine({}), "");
  EXPECT_EQ(ReadLine(MdcSettingsLine(s)).settings, s);
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

  struct Bad {
    std::string line;
    int field;
    std::string says;
    MdcSettings kept;
  };
  const Mdc peak{"peak_torque_Nm", 3};
  for (const Bad& b : std::vector<Bad>{
           {"\"MDC\",speed,2,peak_torque_Nm,3\r\n", 2, "not a figure", {{peak}}},
           {"\"MDC\",on_s,2,peak_torque_Nm,3\r\n", 2, "not a figure", {{peak}}},
           {"\"MDC\",peak_torque_Nm,3,smoothness,lots\r\n", 5, "above 0", {{peak}}},
           {"\"MDC\",smoothness,0,peak_torque_Nm,3\r\n", 3, "above 0", {{peak}}},
           {"\"MDC\",smoothness,-1,peak_torque_Nm,3\r\n", 3, "above 0", {{peak}}},
           {"\"MDC\",peak_torque_Nm,3,smoothness\r\n", 5, "ends before", {{peak}}},
           {"\"MDC\",peak_torque_Nm,3,peak_torque_Nm,9\r\n", 4, "set twice", {{peak}}},
       }) {
    const Read r = ReadLine(b.line);
    ASSERT_EQ(r.notices.size(), 1u) << b.line;
    EXPECT_EQ(r.notices[0].file, "Velquor.ini");
    EXPECT_EQ(r.notices[0].line, kLabelledLine);
    EXPECT_EQ(r.notices[0].field, b.field) << b.line;
    EXPECT_NE(r.notices[0].what.find(b.says), std::string::npos) << r.notices[0].what;
    EXPECT_EQ(r.settings, b.kept) << b.line;
  }
}

}  // namespace
}  // namespace velquor
