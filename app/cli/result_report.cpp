#include "app/cli/result_report.h"

#include <algorithm>
#include <vector>

#include "analysis/result_texts.h"
#include "common/json_text.h"
#include "common/number_text.h"

namespace velquor::cli {
namespace {

// Control arrays by channel become one entry with the texts of ch0 and ch1.
struct Entry {
  std::string name;
  std::vector<std::string> texts;
};

bool EndsWith(const std::string& s, std::string_view end) {
  return s.size() >= end.size() && s.compare(s.size() - end.size(), end.size(), end) == 0;
}

std::vector<Entry> ByControl(const NamedTexts& pairs) {
  std::vector<Entry> out;
  for (const auto& [name, text] : pairs) {
    if (EndsWith(name, "(1)") && !out.empty() && out.back().texts.size() == 1 &&
        out.back().name == name.substr(0, name.size() - 3)) {
      out.back().texts.push_back(text);
    } else if (EndsWith(name, "(0)")) {
      out.push_back({name.substr(0, name.size() - 3), {text}});
    } else {
      out.push_back({name, {text}});
    }
  }
  return out;
}

std::string JsonTexts(const Entry& e) {
  if (e.texts.size() == 1) return JsonString(e.texts[0]);
  std::vector<std::string> members;
  for (const auto& t : e.texts) members.push_back(JsonString(t));
  return JsonArray(members);
}

std::string JsonEntries(const std::vector<Entry>& entries) {
  JsonObject o;
  for (const Entry& e : entries) o.Add(e.name, JsonTexts(e));
  return o.str();
}

std::array<NamedTexts, 3> ChosenForEachStroke(const StrokeResults& s) {
  std::array<NamedTexts, 3> out;
  for (int k = 1; k <= 3; ++k) {
    out.at(static_cast<std::size_t>(k - 1)) = ChosenStrokeFields(ChosenStrokeResultTexts(s, k));
  }
  return out;
}

// Rows of cells printed with the first column left-aligned and the rest right-aligned.
class TextTable {
 public:
  void Row(std::vector<std::string> cells) { rows_.push_back(std::move(cells)); }
  std::string str() const {
    std::vector<std::size_t> width;
    for (const auto& r : rows_) {
      width.resize(std::max(width.size(), r.size()));
      for (std::size_t c = 0; c < r.size(); ++c) width[c] = std::max(width[c], r[c].size());
    }
    std::string out;
    for (const auto& r : rows_) {
      out += "  ";
      for (std::size_t c = 0; c < r.size(); ++c) {
        const std::string pad(width[c] - r[c].size(), ' ');
        out += c == 0 ? r[c] + pad : "  " + pad + r[c];
      }
      out += "\n";
    }
    return out;
  }

 private:
  std::vector<std::vector<std::string>> rows_;
};

std::string Onsets(const StrokeResults& s) {
  const int onsets = s.StrokeCount > 0 ? s.StrokeCount + 1 : 0;
  std::string idx, time;
  for (int n = 1; n <= onsets; ++n) {
    const auto k = static_cast<std::size_t>(n);
    idx += (n > 1 ? ", " : "") + std::to_string(s.StrokeIdx.at(k));
    time += (n > 1 ? ", " : "") + PlainForm(s.StrokeTime.at(k));
  }
  if (onsets == 0) return "none found";
  return std::to_string(s.StrokeCount) + " found; onsets at samples " + idx + " (" + time + " sec)";
}

}  // namespace

std::string ResultTables(const Reanalysed& r) {
  std::string out = r.file + "\n";
  out += "  condition: SampInterval " + PlainForm(r.rec.SampInterval) + " msec, DataNum " +
         PlainForm(r.rec.DataNum) + ", MeasTime " + PlainForm(r.rec.MeasTime) + " sec\n";
  out += "  strokes: " + Onsets(r.strokes) + "\n\n";

  TextTable main;
  main.Row({"Main window", "ch0", "ch1"});
  for (const Entry& e : ByControl(MainResultFields(ShowMainResults(r.kin)))) {
    std::vector<std::string> cells{e.name};
    cells.insert(cells.end(), e.texts.begin(), e.texts.end());
    main.Row(cells);
  }
  out += main.str() + "\n";

  TextTable strokes;
  strokes.Row({"Calculated Results", "No.1", "No.2", "No.3"});
  NamedTexts boxes = StrokeTableFields(StrokeBoxTexts(r.strokes));
  for (std::size_t i = 0; i + 2 < boxes.size(); i += 3) {
    std::string name = boxes[i].first;
    name.pop_back();  // "txtStTime1" -> "txtStTime"
    strokes.Row({name, boxes[i].second, boxes[i + 1].second, boxes[i + 2].second});
  }
  const auto chosen = ChosenForEachStroke(r.strokes);
  for (std::size_t row = 0; row < chosen[0].size(); ++row) {
    strokes.Row({chosen[0][row].first, chosen[0][row].second, chosen[1].at(row).second,
                 chosen[2].at(row).second});
  }
  return out + strokes.str();
}

std::string ResultJson(const Reanalysed& r) {
  JsonObject condition;
  condition.Add("SampInterval", JsonNumber(r.rec.SampInterval))
      .Add("DataNum", JsonNumber(r.rec.DataNum))
      .Add("MeasTime", JsonNumber(r.rec.MeasTime));

  std::vector<std::string> idx, time;
  for (std::size_t n = 1; n <= 4; ++n) {
    idx.push_back(std::to_string(r.strokes.StrokeIdx.at(n)));
    time.push_back(JsonNumber(r.strokes.StrokeTime.at(n)));
  }
  JsonObject table;
  for (const auto& [name, text] : StrokeTableFields(StrokeBoxTexts(r.strokes))) {
    table.AddText(name, text);
  }
  std::vector<std::string> chosen;
  for (const NamedTexts& k : ChosenForEachStroke(r.strokes)) {
    chosen.push_back(JsonEntries(ByControl(k)));
  }
  JsonObject strokes;
  strokes.Add("StrokeCount", std::to_string(r.strokes.StrokeCount))
      .Add("StrokeIdx", JsonArray(idx))
      .Add("StrokeTime", JsonArray(time))
      .Add("table", table.str())
      .Add("chosen", JsonArray(chosen));

  JsonObject o;
  o.AddText("file", r.file)
      .Add("condition", condition.str())
      .Add("main", JsonEntries(ByControl(MainResultFields(ShowMainResults(r.kin)))))
      .Add("strokes", strokes.str());
  return o.str();
}

}  // namespace velquor::cli
