#include "files/mdc_settings.h"

#include <algorithm>
#include <cmath>

#include "analysis/push_analysis.h"
#include "common/number_parse.h"
#include "common/shortest_text.h"
#include "files/labelled_line.h"
#include "files/positional_fields.h"

namespace velquor {
namespace {

constexpr std::string_view kLabel = "\"MDC\",";
constexpr int kFirstOptionalLine = 17;  // the labelled lines begin after the push line

}  // namespace

std::optional<double> MdcSettings::For(std::string_view figure) const {
  for (const Mdc& m : items) {
    if (m.figure == figure) return m.change;
  }
  return std::nullopt;
}

bool IsMdcFigure(std::string_view name) {
  if (name == "push_frequency_per_min") return true;
  for (int f = 0; f < kPushFigureCount; ++f) {
    if (kPushFigureNames.at(static_cast<std::size_t>(f)) == name &&
        IsSummarised(static_cast<PushFigure>(f))) {
      return true;
    }
  }
  return false;
}

void ReadMdcSettings(std::string_view text, const std::string& file, MdcSettings& s,
                     std::vector<Problem>& notices) {
  const std::optional<std::string_view> found = LabelledLine(text, kFirstOptionalLine, kLabel);
  if (!found) return;
  const int line = 1 + static_cast<int>(std::count(text.data(), found->data(), '\n'));
  PositionalFields fields(*found, file);
  fields.Take(1, 1);  // the label
  MdcSettings read;
  for (int index = 2;; index += 2) {
    const std::optional<Field> figure = fields.Take(1, index);
    if (!figure) break;
    const std::optional<Field> change = fields.Take(1, index + 1);
    const auto drop = [&](int at, const std::string& what) {
      notices.push_back({file, line, at, what});
    };
    if (!IsMdcFigure(figure->text)) {
      drop(index, "\"" + figure->text +
                      "\" is not a figure a session summary holds; its change is left out");
      continue;
    }
    if (!change) {
      drop(index + 1, "the line ends before the change of " + figure->text +
                          "; no minimal detectable change is set for it");
      break;
    }
    const std::optional<double> v = ParseComplete(change->text);
    if (!v || !std::isfinite(*v) || !(*v > 0)) {
      drop(index + 1, "the change of " + figure->text + " must be a number above 0, not \"" +
                          change->text + "\"; no minimal detectable change is set for it");
      continue;
    }
    if (read.For(figure->text)) {
      drop(index, figure->text + " is set twice; the second change is left out");
      continue;
    }
    read.items.push_back({figure->text, *v});
  }
  s = read;
}

std::string MdcSettingsLine(const MdcSettings& s) {
  if (s.items.empty()) return "";
  std::string line(kLabel.substr(0, kLabel.size() - 1));
  for (const Mdc& m : s.items) line += "," + m.figure + "," + ShortestText(m.change);
  return line + "\r\n";
}

}  // namespace velquor
