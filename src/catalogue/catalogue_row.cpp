#include "catalogue/catalogue_row.h"

#include <cmath>

#include "common/json_text.h"
#include "common/shortest_text.h"
#include "files/trial_file_text.h"

namespace velquor {
namespace {

constexpr std::array<std::string_view, 3> kStatistics = {"mean", "sd", "cv_pct"};

std::vector<CatalogueColumn> MakeTrialColumns() {
  std::vector<CatalogueColumn> c = {
      {"folder", ColumnKind::kText},        {"trial", ColumnKind::kText},
      {"participant", ColumnKind::kText},   {"session", ColumnKind::kText},
      {"task", ColumnKind::kText},          {"started", ColumnKind::kText},
      {"interval_ms", ColumnKind::kNumber}, {"samples", ColumnKind::kWhole},
      {"duration_s", ColumnKind::kNumber},  {"complete", ColumnKind::kWhole},
      {"files", ColumnKind::kText},         {"markers", ColumnKind::kText},
  };
  for (int w = 0; w < 2; ++w) {
    const std::string wheel = "w" + std::to_string(w) + "_";
    c.push_back({wheel + "pushes", ColumnKind::kWhole});
    c.push_back({wheel + "steady", ColumnKind::kWhole});
    c.push_back({wheel + "push_frequency_per_min", ColumnKind::kNumber});
    for (int f = 0; f < kPushFigureCount; ++f) {
      if (!IsSummarised(static_cast<PushFigure>(f))) continue;
      for (std::string_view stat : kStatistics) {
        c.push_back({wheel + std::string(kPushFigureNames.at(static_cast<std::size_t>(f))) + "_" +
                         std::string(stat),
                     ColumnKind::kNumber});
      }
    }
  }
  return c;
}

CatalogueValue Number(std::optional<double> v) {
  if (!v || !std::isfinite(*v)) return std::monostate{};
  return *v;
}

CatalogueValue Text(const std::string& s) {
  return s;
}

}  // namespace

std::string_view TableName(CatalogueTable table) {
  return table == CatalogueTable::kTrials ? "trials" : "pairs";
}

const std::vector<CatalogueColumn>& Columns(CatalogueTable table) {
  static const std::vector<CatalogueColumn> trials = MakeTrialColumns();
  static const std::vector<CatalogueColumn> pairs = {
      {"folder", ColumnKind::kText}, {"pair", ColumnKind::kText}, {"trial", ColumnKind::kText}};
  return table == CatalogueTable::kTrials ? trials : pairs;
}

std::optional<std::size_t> ColumnIndex(CatalogueTable table, std::string_view name) {
  const std::vector<CatalogueColumn>& c = Columns(table);
  for (std::size_t i = 0; i < c.size(); ++i) {
    if (c[i].name == name) return i;
  }
  return std::nullopt;
}

CatalogueRow TrialRow(const TrialEntry& e) {
  const TrialFacts& f = e.facts;
  std::string files;
  for (const std::string& name : e.files) files += (files.empty() ? "" : " ") + name;
  CatalogueRow row;
  row.values = {
      Text(e.folder),
      Text(f.stem),
      Text(f.who.participant),
      Text(f.who.session),
      Text(f.who.task),
      Text(f.started),
      Number(f.interval_ms),
      std::int64_t{f.samples},
      Number(static_cast<double>(f.samples) * f.interval_ms / 1000.0),
      std::int64_t{e.complete ? 1 : 0},
      Text(files),
      Text(TrialMarkersJson(f.markers)),
  };
  for (const PushSummary& s : e.summaries) {
    row.values.emplace_back(std::int64_t{s.pushes});
    row.values.emplace_back(std::int64_t{s.steady});
    row.values.push_back(Number(s.push_frequency_per_min));
    for (int k = 0; k < kPushFigureCount; ++k) {
      const auto figure = static_cast<PushFigure>(k);
      if (!IsSummarised(figure)) continue;
      const FigureSummary& fs = s.Figure(figure);
      row.values.push_back(Number(fs.mean));
      row.values.push_back(Number(fs.sd));
      row.values.push_back(Number(fs.cv_pct));
    }
  }
  return row;
}

CatalogueRow PairRow(const std::string& folder, const std::string& stem, const std::string& trial) {
  CatalogueRow row;
  row.values = {Text(folder), Text(stem),
                trial.empty() ? CatalogueValue{std::monostate{}} : CatalogueValue{trial}};
  return row;
}

std::string ValueText(const CatalogueValue& v) {
  if (const auto* i = std::get_if<std::int64_t>(&v)) return std::to_string(*i);
  if (const auto* d = std::get_if<double>(&v)) return ShortestText(*d);
  if (const auto* s = std::get_if<std::string>(&v)) return *s;
  return {};
}

std::string ValueJson(const CatalogueValue& v) {
  if (std::holds_alternative<std::monostate>(v)) return "null";
  if (const auto* s = std::get_if<std::string>(&v)) return JsonString(*s);
  return ValueText(v);
}

}  // namespace velquor
