// The study labels in the settings file: a line of their own with the label "Study", the
// participant, session and task the next trials are measured under.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "common/result.h"
#include "record/study_label.h"

namespace velquor {

// The line after the fixed ones of the settings file that begins with the label. A file
// without it leaves `labels` as they are; a label that breaks the label rule is dropped (left
// empty) with a notice naming the line and field, the others are kept.
void ReadStudySettings(std::string_view text, const std::string& file, StudyLabels& labels,
                       std::vector<Problem>& notices);

// "\"Study\",P01,S1,push-test" and CR LF; empty when every label is empty. A label that breaks
// the rule is written empty.
std::string StudySettingsLine(const StudyLabels& labels);

}  // namespace velquor
