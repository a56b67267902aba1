// The feedback targets in the settings file: a line of their own with the label "Feedback",
// the schedule, and each chosen variable with its band's ends and its tone.
#pragma once

#include <string>
#include <vector>

#include "analysis/feedback_model.h"
#include "common/result.h"
#include "files/positional_fields.h"

namespace velquor {

// Reads the line `line` from `fields`, which stand at its start. A file that ends before it
// keeps the defaults without a word; a field that is missing or refused keeps the defaults
// for the whole line (targets only make sense together), with a notice naming line and field.
void ReadFeedbackSettings(PositionalFields& fields, const std::string& file, int line,
                          FeedbackSettings& s, std::vector<Problem>& notices);

// "\"Feedback\",faded,2,contact_angle_deg,+10%,,0,push_frequency_per_min,,-10%,1" and CR LF.
std::string FeedbackSettingsLine(const FeedbackSettings& s);

}  // namespace velquor
