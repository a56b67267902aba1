// The feedback given during a trial as its JSON document records it: the schedule, each
// target with its band per wheel, the baseline's source, and per push whether it was shown
// and whether each variable was in its band.
#pragma once

#include <string>
#include <string_view>

#include "analysis/live_feedback.h"

namespace velquor {

// One JSON object on one line; `baseline_from` names where the baseline came from, empty
// when none was set.
std::string FeedbackJson(const LiveFeedback& live, std::string_view baseline_from);

}  // namespace velquor
