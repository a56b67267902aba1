// The settings file "Velquor.ini": the File Option texts, the measuring condition, the
// stroke conditions and the three drawing colours, read at start-up and written at exit.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/feedback_model.h"
#include "analysis/push_parameters.h"
#include "common/colors.h"
#include "common/result.h"
#include "files/mdc_settings.h"
#include "files/screen_places.h"
#include "record/study_label.h"

namespace velquor {

inline constexpr const char* kSettingsFileName = "Velquor.ini";
// The lines of the measuring condition.
inline constexpr int kIntervalLine = 7;
inline constexpr int kDataNumLine = 8;
inline constexpr int kSampTimeLine = 9;
inline constexpr int kTrialLengthLine = 18;

// The texts exactly as typed in their boxes, and GraphColor (0 = ch0, 1 = ch1, 2 = other).
struct Settings {
  std::string txtFileDir_Man, txtFileHead_Man, txtFileOrg_Man;  // File Option, manual set
  std::string txtFileDir, txtFileHead, txtFileOrg;              // File Option, auto set
  std::string txtTimerInterval, txtDataNum, txtSampTime;        // main window
  std::string txtStartPosCond, txtEndPosCond, txtLimitCond;     // Calculated Results
  std::array<Rgb, 3> GraphColor{};
  PushParameters push;         // line 16; its defaults when the file has only 15 lines
  ScreenPlaces screens;        // line 17; none until a screen has been opened
  std::string txtTrialLength;  // line 18, "Trial" and the main window's text; empty for none
  // The line "Feedback" after them, once the targets differ from the defaults.
  FeedbackSettings feedback = DefaultFeedbackSettings();
  // The line "Study" after them, once a label is set: whom the next trials are of.
  StudyLabels study;
  MdcSettings mdc;  // the line "MDC", once a minimal detectable change is set

  // File Option boxes empty, interval "20", samples "100", time empty (the main window
  // derives it), start "1", end "4", threshold "2"; red, blue and magenta.
  static Settings DesignTime();
};

struct SettingsLoad {
  Settings values;
  std::vector<Problem> notices;  // missing or short file, unusable values, refused condition
  // The file is there but could not be read as a whole (not Shift_JIS, not a regular file,
  // too large, its items out of step with its lines): it must be kept before anything is
  // written in its place (KeepUnreadable).
  std::optional<Problem> unreadable;
};

// Reads the 15 lines and the push-analysis line 16 by position, and the screens' places from
// line 17 when it is there. What cannot be read keeps its design-time value, with a notice: a
// colour whose component is not a whole number 0..255 keeps its default, a header or file
// number the naming rules refuse is left empty. Items out of step with the lines (a field
// too many or too few, a label where a value or another label belongs) make the file
// unreadable, and every value from the first line that cannot be trusted keeps its
// design-time value. A measuring condition Start refuses is kept as written, with a notice.
SettingsLoad ReadSettingsText(std::string_view text, const std::string& file);

// Whether Start accepts the measuring condition of lines 7 to 9, the sampling time derived
// from interval and data number as the main window derives it; otherwise the line of the
// value it refuses (field 2) and why.
std::optional<Problem> SettingsConditionFault(const Settings& s, const std::string& file);

// The same from disk; a missing file gives the design-time values and says so.
SettingsLoad LoadSettings(const std::string& path = kSettingsFileName);

struct SettingsFileText {
  std::string text;              // UTF-8, 16 lines (17 with screen places), CR LF
  std::vector<Problem> notices;  // texts that could not be stored exactly
};

// Label, then the text; a text that would not read back whole is put in double quotes.
// Colour lines carry the colours in use, each component in Str-form (" 255"); line 16 the
// push parameters; line 17, when there are any, the screens' places.
SettingsFileText SettingsText(const Settings& s);
// Writes it atomically; on success the notices of SettingsText.
Result<std::vector<Problem>> SaveSettings(const Settings& s,
                                          const std::string& path = kSettingsFileName);

}  // namespace velquor
