// Who was measured, in which session and at which task: the three labels a trial carries, and
// the rule they follow (letters, digits and "-" only, so they can name files and folders).
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace velquor {

struct StudyLabels {
  std::string participant;  // empty when not given
  std::string session;
  std::string task;
};

// What is wrong with a label (naming `what`, e.g. "Participant"), or nothing when it is empty
// or made of ASCII letters, digits and "-" only.
std::optional<std::string> LabelProblem(std::string_view what, std::string_view label);

// The first problem of the three labels, or nothing.
std::optional<std::string> LabelsProblem(const StudyLabels& labels);

}  // namespace velquor
