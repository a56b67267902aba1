// The feedback targets in the settings file: a line of their own with the label "Feedback",
// the schedule, and each chosen variable with its band's ends and its tone.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "analysis/feedback_model.h"
#include "common/result.h"

namespace velquor {

// The line after the fixed ones of the settings file that begins with the label. A file
// without it keeps `s` without a word; a field that is missing or refused keeps `s` whole
// (targets only make sense together), with a notice naming the line and field.
void ReadFeedbackSettings(std::string_view text, const std::string& file, FeedbackSettings& s,
                          std::vector<Problem>& notices);

// "\"Feedback\",faded,2,contact_angle_deg,+10%,,0,push_frequency_per_min,,-10%,1" and CR LF.
std::string FeedbackSettingsLine(const FeedbackSettings& s);

}  // namespace velquor
