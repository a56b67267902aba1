#include "files/calibration_file.h"

#include <array>
#include <chrono>
#include <cmath>
#include <filesystem>

#include "common/number_parse.h"
#include "common/number_text.h"
#include "common/path_map.h"
#include "common/shift_jis.h"
#include "common/text_file.h"
#include "files/field_quote.h"
#include "files/leading_number.h"
#include "files/naming.h"
#include "files/positional_fields.h"
#include "files/set_aside.h"

namespace velquor {
namespace {

const std::array<const char*, 2> kChannelTitles = {"ch0 (Left), Torque(Nm)-Volt(V)",
                                                   "ch1 (Right), Torque(Nm)-Volt(V)"};
constexpr const char* kResultsTitle = "Caribrated Results (Tq(Nm)=Ka1 x Volt(V) + Ka0)";
const std::array<const char*, 4> kCoefficientLabels = {"ch0 Ka1", "ch0 Ka0", "ch1 Ka1", "ch1 Ka0"};

constexpr int kLinesPerChannel = 1 + kCalRows;
constexpr int kResultsLine = 2 * kLinesPerChannel + 1;

double& Coefficient(Calibration& c, std::size_t k) {
  return k % 2 == 0 ? c.Ka1.at(k / 2) : c.Ka0.at(k / 2);
}

double CoefficientValue(const Calibration& c, std::size_t k) {
  return k % 2 == 0 ? c.Ka1.at(k / 2) : c.Ka0.at(k / 2);
}

Problem EndsEarly(const std::string& file, int line, const std::string& what) {
  return {file, line, 0, "the file ends early: " + what};
}

constexpr const char* kNotUsed = "; no torque is computed from this calibration";

int TitleLine(std::size_t ch) {
  return 1 + static_cast<int>(ch) * kLinesPerChannel;
}

// The layout line whose first field is `text` (a title or a coefficient label), or 0.
int LabelLine(std::string_view text) {
  for (std::size_t ch = 0; ch < 2; ++ch) {
    std::string_view title(kChannelTitles.at(ch));
    if (text == title.substr(0, title.find(','))) return TitleLine(ch);
  }
  if (text == kResultsTitle) return kResultsLine;
  for (std::size_t k = 0; k < kCoefficientLabels.size(); ++k) {
    if (text == kCoefficientLabels.at(k)) return kResultsLine + 1 + static_cast<int>(k);
  }
  return 0;
}

// A title or label of another line where a label or a point text belongs (own_line 0)
// means the items fell out of step.
void CheckLabel(PositionalFields& fields, int line, int index, const Field& f, int own_line) {
  const int of = LabelLine(f.text);
  if (of != 0 && of != own_line) {
    fields.LoseStep(line, index, f,
                    "\"" + f.text + "\" of line " + std::to_string(of) + " stands here");
  }
}

// The point rows of both channels; false (with a notice) when the text ends first.
bool ReadPoints(PositionalFields& fields, const std::string& file, CalibrationLoad& out) {
  const std::string rest_design =
      "the remaining points keep the design-time table and no calibration is loaded";
  for (std::size_t ch = 0; ch < 2; ++ch) {
    const int title = TitleLine(ch);
    auto head = fields.Take(title, 1);
    if (head) CheckLabel(fields, title, 1, *head, title);
    if (!head || !fields.Take(title, 2)) {
      out.notices.push_back(EndsEarly(file, title, rest_design));
      return false;
    }
    for (std::size_t j = 0; j < kCalRows; ++j) {
      const int line = title + 1 + static_cast<int>(j);
      auto tq = fields.Take(line, 1);
      auto volt = tq ? fields.Take(line, 2) : std::nullopt;
      if (!volt) {
        out.notices.push_back(EndsEarly(file, line, rest_design));
        return false;
      }
      CheckLabel(fields, line, 1, *tq, 0);
      CheckLabel(fields, line, 2, *volt, 0);
      out.values.TqText.at(ch).at(j) = tq->text;
      out.values.VoltText.at(ch).at(j) = volt->text;
    }
  }
  return true;
}

// The four coefficients; false when one is missing (with a notice) or is no finite number
// (then `unusable` says which).
bool ReadCoefficients(PositionalFields& fields, const std::string& file, CalibrationLoad& out,
                      std::optional<Problem>& unusable) {
  auto results = fields.Take(kResultsLine, 1);
  if (!results) {
    out.notices.push_back(EndsEarly(file, kResultsLine, "no calibration is loaded"));
    return false;
  }
  CheckLabel(fields, kResultsLine, 1, *results, kResultsLine);
  for (std::size_t k = 0; k < kCoefficientLabels.size(); ++k) {
    const int line = kResultsLine + 1 + static_cast<int>(k);
    auto label = fields.Take(line, 1);
    if (label) CheckLabel(fields, line, 1, *label, line);
    auto value = label ? fields.Take(line, 2) : std::nullopt;
    if (!value) {
      out.notices.push_back(EndsEarly(file, line, "no calibration is loaded"));
      return false;
    }
    const double v = Val(value->text);
    if (!BeginsWithNumber(value->text) || !std::isfinite(v)) {
      if (!unusable) {
        unusable =
            Problem{file, value->line, value->index,
                    std::string(kCoefficientLabels.at(k)) + " \"" + value->text +
                        "\" is not a finite number, so the calibration cannot be used" + kNotUsed};
      }
    } else {
      Coefficient(out.values, k) = v;
    }
  }
  return !unusable;
}

// Once the items fell out of step, the point rows from the first line that cannot be
// trusted keep the design-time table and what was said of those lines goes.
void DropUntrusted(const PositionalFields& fields, CalibrationLoad& out) {
  const int from = *fields.lost_line();
  const Calibration design = Calibration::DesignTime();
  for (std::size_t ch = 0; ch < 2; ++ch) {
    for (std::size_t j = 0; j < kCalRows; ++j) {
      if (TitleLine(ch) + 1 + static_cast<int>(j) < from) continue;
      out.values.TqText.at(ch).at(j) = design.TqText.at(ch).at(j);
      out.values.VoltText.at(ch).at(j) = design.VoltText.at(ch).at(j);
    }
  }
  std::erase_if(out.notices, [from](const Problem& p) { return p.line >= from; });
  Problem why = *fields.misplaced();
  why.what += ", so the file cannot be read as it stands; the points from line " +
              std::to_string(from) + " on keep the design-time table" + kNotUsed;
  out.unreadable = why;
}

}  // namespace

CalibrationLoad ReadCalibrationText(std::string_view text, const std::string& file) {
  CalibrationLoad out{Calibration::DesignTime(), {}, std::nullopt};
  PositionalFields fields(text, file);
  std::optional<Problem> unusable;
  const bool read = ReadPoints(fields, file, out) && ReadCoefficients(fields, file, out, unusable);
  if (fields.lost_line()) {
    DropUntrusted(fields, out);
  } else if (unusable) {
    out.unreadable = unusable;
  }
  out.values.loaded = read && !out.unreadable;
  if (!out.values.loaded) {
    // Torques are never computed from part of a calibration.
    const Calibration design = Calibration::DesignTime();
    out.values.Ka1 = design.Ka1;
    out.values.Ka0 = design.Ka0;
  }
  return out;
}

CalibrationLoad LoadCalibration(const std::string& path) {
  auto text = ReadShiftJisFile(ToNativePath(path));
  if (!text) {
    CalibrationLoad out{Calibration::DesignTime(), {}, std::nullopt};
    Problem p{path, 0, 0,
              text.problem().what +
                  "; no calibration is loaded: torques are 0 until the gauges are calibrated"};
    if (PresentAt(path)) {
      out.unreadable = p;
    } else {
      out.notices.push_back(p);
    }
    return out;
  }
  CalibrationLoad out = ReadCalibrationText(text.value(), path);
  if (out.values.loaded) NoteSource(path, out.values);
  return out;
}

void NoteSource(const std::string& path, Calibration& cal) {
  std::error_code ec;
  const std::filesystem::path native = ToNativePath(path);
  const std::filesystem::path absolute = std::filesystem::absolute(native, ec);
  cal.file = (ec ? native : absolute).string();
  const auto written = std::filesystem::last_write_time(native, ec);
  if (ec) {
    cal.date.clear();
    return;
  }
  const auto at = std::chrono::file_clock::to_sys(written);
  cal.date = IsoStampText(
      StampAt(std::chrono::duration_cast<std::chrono::seconds>(at.time_since_epoch()).count()));
}

CalibrationFileText CalibrationText(const Calibration& cal) {
  CalibrationFileText out;
  auto field = [&](const std::string& t, int line, int index) {
    FieldText f = QuoteForField(t);
    if (f.lost_quotes) {
      out.notices.push_back({"", line, index,
                             "the point text \"" + t +
                                 "\" is stored without its double quotes, which the file "
                                 "cannot hold inside a quoted text"});
    }
    return f.text;
  };
  int line = 0;
  for (std::size_t ch = 0; ch < 2; ++ch) {
    out.text.append(kChannelTitles.at(ch)).append("\r\n");
    ++line;
    for (std::size_t j = 0; j < kCalRows; ++j) {
      ++line;
      out.text.append(field(cal.TqText.at(ch).at(j), line, 1)).append(",");
      out.text.append(field(cal.VoltText.at(ch).at(j), line, 2)).append("\r\n");
    }
  }
  out.text.append(kResultsTitle).append("\r\n");
  for (std::size_t k = 0; k < kCoefficientLabels.size(); ++k) {
    const double v = CoefficientValue(cal, k);
    out.text.append(kCoefficientLabels.at(k)).append(",");
    out.text.append(cal.KaSingle ? PlainForm(static_cast<float>(v)) : PlainForm(v));
    out.text.append("\r\n");
  }
  return out;
}

}  // namespace velquor
