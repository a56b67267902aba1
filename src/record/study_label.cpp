#include "record/study_label.h"

namespace velquor {
namespace {

bool LabelChar(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-';
}

}  // namespace

std::optional<std::string> LabelProblem(std::string_view what, std::string_view label) {
  for (const char c : label) {
    if (LabelChar(c)) continue;
    const bool shown = c > ' ' && c < 0x7f;
    return std::string(what) + " \"" + std::string(label) +
           "\" may hold only letters, digits and \"-\"" +
           (shown ? std::string(", not \"") + c + "\"" : std::string());
  }
  return std::nullopt;
}

std::optional<std::string> LabelsProblem(const StudyLabels& labels) {
  if (auto p = LabelProblem("Participant", labels.participant)) return p;
  if (auto p = LabelProblem("Session", labels.session)) return p;
  return LabelProblem("Task", labels.task);
}

}  // namespace velquor
