#include "files/settings_file.h"

#include "common/colors.h"
#include "common/number_parse.h"
#include "common/number_text.h"
#include "common/path_map.h"
#include "common/text_file.h"
#include "files/feedback_settings.h"
#include "files/field_quote.h"
#include "files/labelled_line.h"
#include "files/mdc_settings.h"
#include "files/naming_rules.h"
#include "files/positional_fields.h"
#include "files/push_settings.h"
#include "files/set_aside.h"
#include "files/study_settings.h"
#include "record/condition.h"

namespace velquor {
namespace {

constexpr std::string_view kTrialLabel = "\"Trial\",";

// The trial length as the main window's box holds it: a plain number of seconds, or nothing.
// What is not one is left out with a notice naming the line and field.
std::string ReadTrialLengthLine(std::string_view text, const std::string& file,
                                std::vector<Problem>& notices) {
  const auto line = LabelledLine(text, kTrialLengthLine - 1, kTrialLabel);
  if (!line) return "";
  const std::string value(line->substr(kTrialLabel.size()));
  const std::optional<double> s = ParseComplete(value);
  if (!s || !(*s >= 0)) {
    notices.push_back({file, kTrialLengthLine, 2,
                       "the trial length \"" + value +
                           "\" is not a number of seconds; the trials have no set length"});
    return "";
  }
  return value;
}

std::string TrialLengthLine(const std::string& text) {
  return std::string(kTrialLabel) + text + "\r\n";
}

struct TextItem {
  const char* label;  // with its ","
  std::string Settings::*box;
};

constexpr std::size_t kTextLines = 12;  // lines 1 to 12 hold one text each
const std::array<TextItem, kTextLines> kTextItems = {{
    {"ディレクトリ(Manual),", &Settings::txtFileDir_Man},
    {"ヘッダ(Manual),", &Settings::txtFileHead_Man},
    {"ファイル名(Manual),", &Settings::txtFileOrg_Man},
    {"ディレクトリ(Auto),", &Settings::txtFileDir},
    {"ヘッダ(Auto),", &Settings::txtFileHead},
    {"ファイル名(Auto),", &Settings::txtFileOrg},
    {"測定間隔(msec),", &Settings::txtTimerInterval},
    {"データ数,", &Settings::txtDataNum},
    {"測定時間(sec),", &Settings::txtSampTime},
    {"計算開始位置(sec),", &Settings::txtStartPosCond},
    {"計算終了位置(sec),", &Settings::txtEndPosCond},
    {"判別条件(Nm),", &Settings::txtLimitCond},
}};

const std::array<const char*, 3> kColorLabels = {"ch0 Color (RGB),", "ch1 Color (RGB),",
                                                 "Other Color (RGB),"};
const std::array<const char*, 3> kColorNames = {"ch0", "ch1", "Other"};

constexpr int kColorLine = 13;

// The header and number lines of the two sets, checked by the naming rules on reading.
struct NameItem {
  int line;
  std::optional<std::string> (*fault)(std::string_view);
};
const std::array<NameItem, 4> kNameItems = {{
    {2, HeaderFault},
    {3, NumberFault},
    {5, HeaderFault},
    {6, NumberFault},
}};

Problem EndsEarly(const std::string& file, int line) {
  return {file, line, 0,
          "the file ends early; the items from line " + std::to_string(line) +
              " on keep their design-time values"};
}

// The label of a line without its ",".
std::string_view LabelText(const char* label) {
  std::string_view t(label);
  return t.substr(0, t.size() - 1);
}

// The layout line whose label is `text` (1..15), or 0.
int LabelLine(std::string_view text) {
  for (std::size_t j = 0; j < kTextItems.size(); ++j) {
    if (text == LabelText(kTextItems.at(j).label)) return static_cast<int>(j) + 1;
  }
  for (std::size_t c = 0; c < kColorLabels.size(); ++c) {
    if (text == LabelText(kColorLabels.at(c))) return kColorLine + static_cast<int>(c);
  }
  return 0;
}

// Labels are not compared with their own line (a translated label still loads), but the
// label of another line where a label or a value belongs means the items fell out of step.
void CheckLabel(PositionalFields& fields, int line, const Field& f) {
  const int of = LabelLine(f.text);
  if (of != 0 && of != line) {
    fields.LoseStep(line, 1, f, "the label of line " + std::to_string(of) + " stands here");
  }
}
void CheckValue(PositionalFields& fields, int line, const Field& f) {
  if (LabelLine(f.text) != 0) {
    fields.LoseStep(line, 2, f, "the label \"" + f.text + "\" stands where a value belongs");
  }
}

// Reads the items by position into `out` until the text ends; `where` keeps the field each
// text of lines 1 to 12 came from.
void ReadItems(PositionalFields& fields, const std::string& file, SettingsLoad& out,
               std::array<Field, kTextLines>& where) {
  for (std::size_t j = 0; j < kTextItems.size(); ++j) {
    const int line = static_cast<int>(j) + 1;
    auto label = fields.Take(line, 1);
    if (label) CheckLabel(fields, line, *label);
    auto value = label ? fields.Take(line, 2) : std::nullopt;
    if (!value) {
      out.notices.push_back(EndsEarly(file, line));
      return;
    }
    CheckValue(fields, line, *value);
    out.values.*kTextItems.at(j).box = value->text;
    where.at(j) = *value;
  }
  for (std::size_t c = 0; c < 3; ++c) {
    const int line = kColorLine + static_cast<int>(c);
    std::array<int, 3> rgb{};
    std::optional<Problem> bad;
    auto label = fields.Take(line, 1);
    if (!label) {
      out.notices.push_back(EndsEarly(file, line));
      return;
    }
    CheckLabel(fields, line, *label);
    for (std::size_t k = 0; k < 3; ++k) {
      auto f = fields.Take(line, static_cast<int>(k) + 2);
      if (!f) {
        out.notices.push_back(EndsEarly(file, line));
        return;
      }
      auto v = ParseWhole16(f->text);
      if (!v || *v < 0 || *v > 255) {
        if (!bad) {
          bad = Problem{file, f->line, f->index,
                        std::string("the ") + kColorNames.at(c) + " colour component \"" + f->text +
                            "\" is not a whole number from 0 to 255; the colour " +
                            "keeps its default"};
        }
      } else {
        rgb.at(k) = *v;
      }
    }
    if (bad) {
      out.notices.push_back(*bad);
    } else {
      out.values.GraphColor.at(c) = MakeRgb(rgb[0], rgb[1], rgb[2]);
    }
  }
  ReadPushSettings(fields, file, out.values.push, out.notices);
}

// Once the items fell out of step, every value from the first line that cannot be trusted
// keeps its design-time value, and what was said of those lines goes: the file is kept
// aside as unreadable instead.
void DropUntrusted(const PositionalFields& fields, SettingsLoad& out) {
  const int from = *fields.lost_line();
  const Settings design = Settings::DesignTime();
  for (std::size_t j = 0; j < kTextItems.size(); ++j) {
    if (static_cast<int>(j) + 1 >= from) {
      out.values.*kTextItems.at(j).box = design.*kTextItems.at(j).box;
    }
  }
  for (std::size_t c = 0; c < 3; ++c) {
    if (kColorLine + static_cast<int>(c) >= from)
      out.values.GraphColor.at(c) = design.GraphColor.at(c);
  }
  if (kPushSettingsLine >= from) out.values.push = design.push;
  std::erase_if(out.notices, [from](const Problem& p) { return p.line >= from; });
  Problem why = *fields.misplaced();
  why.what += ", so the file cannot be read as it stands; the values from line " +
              std::to_string(from) + " on keep their design-time values";
  out.unreadable = why;
}

// A header or number that no file may be named with is not used.
void CheckNames(const std::array<Field, kTextLines>& where, const std::string& file,
                SettingsLoad& out) {
  const Settings design = Settings::DesignTime();
  for (const NameItem& item : kNameItems) {
    const auto j = static_cast<std::size_t>(item.line - 1);
    std::string& text = out.values.*kTextItems.at(j).box;
    if (auto why = item.fault(text)) {
      out.notices.push_back({file, where.at(j).line, where.at(j).index,
                             *why + "; it is left empty, as at design time"});
      text = design.*kTextItems.at(j).box;
    }
  }
}

}  // namespace

Settings Settings::DesignTime() {
  Settings s;
  s.txtTimerInterval = "20";
  s.txtDataNum = "100";
  s.txtStartPosCond = "1";
  s.txtEndPosCond = "4";
  s.txtLimitCond = "2";
  s.GraphColor = kDefaultGraphColor;
  return s;
}

std::optional<Problem> SettingsConditionFault(const Settings& s, const std::string& file) {
  const auto derived = SampTimeText(s.txtTimerInterval, s.txtDataNum);
  const auto bad =
      EvaluateConditionTexts(s.txtTimerInterval, s.txtDataNum, derived.value_or(s.txtSampTime));
  if (!bad) return std::nullopt;
  int line = kIntervalLine;
  if (bad->field == ConditionField::kDataNumber) line = kDataNumLine;
  if (bad->field == ConditionField::kSamplingTime && !derived) line = kSampTimeLine;
  return Problem{file, line, 2, bad->message};
}

SettingsLoad ReadSettingsText(std::string_view text, const std::string& file) {
  SettingsLoad out{Settings::DesignTime(), {}, std::nullopt};
  std::array<Field, kTextLines> where{};
  for (std::size_t j = 0; j < where.size(); ++j) where.at(j) = {"", static_cast<int>(j) + 1, 2};
  PositionalFields fields(text, file);
  ReadItems(fields, file, out, where);
  if (fields.lost_line()) DropUntrusted(fields, out);
  CheckNames(where, file, out);
  if (auto bad = SettingsConditionFault(out.values, file)) {
    bad->what += "; Start refuses it until it is changed";
    out.notices.push_back(*bad);
  }
  ScreenPlacesLoad screens = ReadScreenPlaces(text, file);
  out.values.screens = std::move(screens.places);
  out.notices.insert(out.notices.end(), screens.notices.begin(), screens.notices.end());
  out.values.txtTrialLength = ReadTrialLengthLine(text, file, out.notices);
  ReadFeedbackSettings(text, file, out.values.feedback, out.notices);
  ReadStudySettings(text, file, out.values.study, out.notices);
  ReadMdcSettings(text, file, out.values.mdc, out.notices);
  return out;
}

SettingsLoad LoadSettings(const std::string& path) {
  auto text = ReadShiftJisFile(ToNativePath(path));
  if (!text) {
    SettingsLoad out{Settings::DesignTime(), {}, std::nullopt};
    Problem p{path, 0, 0, text.problem().what + "; the design-time settings are used"};
    if (PresentAt(path)) {
      out.unreadable = p;
    } else {
      p.what += " and the file is written at the next save or at exit";
      out.notices.push_back(p);
    }
    return out;
  }
  return ReadSettingsText(text.value(), path);
}

SettingsFileText SettingsText(const Settings& s) {
  SettingsFileText out;
  int line = 0;
  for (const TextItem& item : kTextItems) {
    ++line;
    FieldText f = QuoteForField(s.*item.box);
    if (f.lost_quotes) {
      out.notices.push_back({"", line, 2,
                             std::string("the text \"") + s.*item.box +
                                 "\" is stored without its double quotes, which the file "
                                 "cannot hold inside a quoted text"});
    }
    out.text.append(item.label).append(f.text).append("\r\n");
  }
  for (std::size_t c = 0; c < 3; ++c) {
    const Rgb colour = s.GraphColor.at(c);
    out.text.append(kColorLabels.at(c));
    out.text.append(StrForm(static_cast<double>(RedOf(colour)))).append(",");
    out.text.append(StrForm(static_cast<double>(GreenOf(colour)))).append(",");
    out.text.append(StrForm(static_cast<double>(BlueOf(colour)))).append("\r\n");
  }
  out.text.append(PushSettingsLine(s.push));
  // Line 17, once a screen has a place to remember.
  if (!s.screens.empty()) out.text.append(ScreenPlacesLine(s.screens)).append("\r\n");
  // Line 18 (the next one where no screen has a place yet), once a trial length is set.
  if (!s.txtTrialLength.empty()) out.text.append(TrialLengthLine(s.txtTrialLength));
  // Then the feedback targets, once they are not the defaults.
  if (s.feedback != DefaultFeedbackSettings()) out.text.append(FeedbackSettingsLine(s.feedback));
  out.text.append(StudySettingsLine(s.study));  // nothing while no label is set
  out.text.append(MdcSettingsLine(s.mdc));      // nothing until a change is set
  return out;
}

Result<std::vector<Problem>> SaveSettings(const Settings& s, const std::string& path) {
  SettingsFileText file = SettingsText(s);
  if (Status st = WriteShiftJisFile(ToNativePath(path), file.text); !st) {
    return Problem{path, 0, 0, st.problem().what};
  }
  for (Problem& p : file.notices) p.file = path;
  return file.notices;
}

}  // namespace velquor
