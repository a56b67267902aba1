#include "files/settings_file.h"

#include "common/colors.h"
#include "common/number_parse.h"
#include "common/number_text.h"
#include "common/path_map.h"
#include "common/text_file.h"
#include "files/field_quote.h"
#include "files/positional_fields.h"
#include "files/push_settings.h"
#include "files/set_aside.h"

namespace velquor {
namespace {

struct TextItem {
  const char* label;  // with its ","
  std::string Settings::*box;
};

const std::array<TextItem, 12> kTextItems = {{
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

Problem EndsEarly(const std::string& file, int line) {
  return {file, line, 0,
          "the file ends early; the items from line " + std::to_string(line) +
              " on keep their design-time values"};
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

SettingsLoad ReadSettingsText(std::string_view text, const std::string& file) {
  SettingsLoad out{Settings::DesignTime(), {}, std::nullopt};
  ScreenPlacesLoad screens = ReadScreenPlaces(text, file);
  out.values.screens = std::move(screens.places);
  out.notices = std::move(screens.notices);
  PositionalFields fields(text, file);
  auto finish = [&]() -> SettingsLoad& {
    if (fields.misplaced()) out.notices.insert(out.notices.begin(), *fields.misplaced());
    return out;
  };
  for (std::size_t j = 0; j < kTextItems.size(); ++j) {
    const int line = static_cast<int>(j) + 1;
    auto label = fields.Take(line, 1);
    auto value = label ? fields.Take(line, 2) : std::nullopt;
    if (!value) {
      out.notices.push_back(EndsEarly(file, line));
      return finish();
    }
    out.values.*kTextItems.at(j).box = value->text;
  }
  for (std::size_t c = 0; c < 3; ++c) {
    const int line = kColorLine + static_cast<int>(c);
    std::array<int, 3> rgb{};
    std::optional<Problem> bad;
    if (!fields.Take(line, 1)) {
      out.notices.push_back(EndsEarly(file, line));
      return finish();
    }
    for (std::size_t k = 0; k < 3; ++k) {
      auto f = fields.Take(line, static_cast<int>(k) + 2);
      if (!f) {
        out.notices.push_back(EndsEarly(file, line));
        return finish();
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
  return finish();
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
