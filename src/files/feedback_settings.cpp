#include "files/feedback_settings.h"

#include <algorithm>

#include "common/number_parse.h"
#include "files/labelled_line.h"
#include "files/positional_fields.h"

namespace velquor {
namespace {

constexpr int kFieldsPerTarget = 4;  // variable, low, high, tone
constexpr std::string_view kLabel = "\"Feedback\",";
constexpr int kFirstOptionalLine = 17;  // the labelled lines begin after the push line

}  // namespace

void ReadFeedbackSettings(std::string_view text, const std::string& file, FeedbackSettings& s,
                          std::vector<Problem>& notices) {
  const std::optional<std::string_view> found = LabelledLine(text, kFirstOptionalLine, kLabel);
  if (!found) return;  // an older file, or the defaults were in force
  const int line = 1 + static_cast<int>(std::count(text.data(), found->data(), '\n'));
  PositionalFields fields(*found, file);
  fields.Take(1, 1);  // the label
  FeedbackSettings read;
  const auto refuse = [&](int index, const std::string& what) {
    notices.push_back({file, line, index, what + "; the feedback targets keep their defaults"});
  };
  const auto schedule = fields.Take(1, 2);
  if (!schedule) return refuse(2, "the feedback line ends before its schedule");
  const auto chosen = ScheduleByName(schedule->text);
  if (!chosen) {
    return refuse(
        2, "\"" + schedule->text + "\" is not a schedule (every, faded, out-of-band or off)");
  }
  read.schedule = *chosen;
  const auto count_field = fields.Take(1, 3);
  const auto count =
      count_field ? ParseWhole(count_field->text, 0, kMaxFeedbackVariables) : std::nullopt;
  if (!count) return refuse(3, "the number of feedback variables must be 0 to 4");
  for (int k = 0; k < *count; ++k) {
    const int first = 4 + k * kFieldsPerTarget;
    std::array<std::optional<Field>, kFieldsPerTarget> f;
    for (int j = 0; j < kFieldsPerTarget; ++j) {
      f.at(static_cast<std::size_t>(j)) = fields.Take(1, first + j);
      if (!f.at(static_cast<std::size_t>(j))) {
        return refuse(first + j, "the feedback line ends early");
      }
    }
    Target t;
    const auto variable = FeedbackVariableByName(f[0]->text);
    if (!variable) return refuse(first, "\"" + f[0]->text + "\" is not a push figure");
    t.variable = *variable;
    for (int j = 1; j <= 2; ++j) {
      const Result<BandEnd> end = ParseBandEnd(f.at(static_cast<std::size_t>(j))->text);
      if (!end) return refuse(first + j, end.problem().what);
      (j == 1 ? t.low : t.high) = end.value();
    }
    if (f[3]->text != "0" && f[3]->text != "1") {
      return refuse(first + 3, "the tone is 0 or 1, not \"" + f[3]->text + "\"");
    }
    t.tone = f[3]->text == "1";
    read.targets.push_back(t);
  }
  if (Status st = CheckFeedbackSettings(read); !st) return refuse(3, st.problem().what);
  s = read;
}

std::string FeedbackSettingsLine(const FeedbackSettings& s) {
  std::string line = "\"Feedback\"," + std::string(ScheduleName(s.schedule)) + "," +
                     std::to_string(s.targets.size());
  for (const Target& t : s.targets) {
    line += "," + std::string(FeedbackVariableName(t.variable)) + "," + BandEndText(t.low) + "," +
            BandEndText(t.high) + "," + (t.tone ? "1" : "0");
  }
  return line + "\r\n";
}

}  // namespace velquor
