#include "files/push_settings.h"

#include "common/number_text.h"

namespace velquor {

void ReadPushSettings(PositionalFields& fields, const std::string& file, PushParameters& p,
                      std::vector<Problem>& notices) {
  if (!fields.Take(kPushSettingsLine, 1)) return;  // the older layout: 15 lines
  for (int k = 0; k < kPushParameterCount; ++k) {
    const auto which = static_cast<PushParameter>(k);
    const int index = k + 2;
    const auto f = fields.Take(kPushSettingsLine, index);
    if (!f) {
      notices.push_back({file, kPushSettingsLine, index,
                         "the push-analysis line ends early; " +
                             std::string(kPushParameterNames.at(static_cast<std::size_t>(k))) +
                             " and the parameters after it keep their defaults"});
      return;
    }
    if (Status st = SetPushParameter(p, which, f->text); !st) {
      notices.push_back(
          {file, f->line, f->index, st.problem().what + "; its default is used instead"});
    }
  }
}

std::string PushSettingsLine(const PushParameters& p) {
  std::string line = "\"Push\"";
  for (int k = 0; k < kPushParameterCount; ++k) {
    line += ",";
    line += PlainForm(PushParameterValue(p, static_cast<PushParameter>(k)));
  }
  return line + "\r\n";
}

}  // namespace velquor
