#include "files/study_settings.h"

#include <algorithm>
#include <array>

#include "files/labelled_line.h"
#include "files/positional_fields.h"

namespace velquor {
namespace {

constexpr std::string_view kLabel = "\"Study\",";
constexpr int kFirstOptionalLine = 17;  // the labelled lines begin after the push line

struct Slot {
  std::string StudyLabels::*label;
  const char* name;
};
constexpr std::array<Slot, 3> kSlots = {{{&StudyLabels::participant, "Participant"},
                                         {&StudyLabels::session, "Session"},
                                         {&StudyLabels::task, "Task"}}};

}  // namespace

void ReadStudySettings(std::string_view text, const std::string& file, StudyLabels& labels,
                       std::vector<Problem>& notices) {
  const std::optional<std::string_view> found = LabelledLine(text, kFirstOptionalLine, kLabel);
  if (!found) return;  // an older file, or no label was set
  const int line = 1 + static_cast<int>(std::count(text.data(), found->data(), '\n'));
  PositionalFields fields(*found, file);
  fields.Take(1, 1);  // the label
  StudyLabels read;
  for (std::size_t k = 0; k < kSlots.size(); ++k) {
    const int index = static_cast<int>(k) + 2;
    const std::optional<Field> f = fields.Take(1, index);
    if (!f) break;  // a shorter line leaves the later labels empty
    if (auto why = LabelProblem(kSlots.at(k).name, f->text)) {
      notices.push_back({file, line, index, *why + "; it is left empty"});
      continue;
    }
    read.*kSlots.at(k).label = f->text;
  }
  labels = read;
}

std::string StudySettingsLine(const StudyLabels& labels) {
  std::string line = "\"Study\"";
  bool any = false;
  for (const Slot& s : kSlots) {
    const std::string& text = labels.*s.label;
    const bool good = !LabelProblem(s.name, text);
    any = any || (good && !text.empty());
    line += "," + (good ? text : std::string());
  }
  return any ? line + "\r\n" : std::string();
}

}  // namespace velquor
