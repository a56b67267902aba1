// The rows of the study catalogue: one per trial (its labels, facts, files, markers and the
// summary of its steady pushes on each wheel) and one per cycle pair (the trial it belongs to).
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "analysis/push_analysis.h"
#include "record/trial_facts.h"

namespace velquor {

// A value of a row as the catalogue holds it: nothing (NULL), a whole number, a number or text.
using CatalogueValue = std::variant<std::monostate, std::int64_t, double, std::string>;

enum class ColumnKind { kText, kWhole, kNumber };
struct CatalogueColumn {
  std::string name;
  ColumnKind kind = ColumnKind::kText;
};

// A row's values in the order of its table's columns. The first two, folder and stem, are its
// key: the folder relative to the catalogue's directory ("" for that directory itself).
struct CatalogueRow {
  std::vector<CatalogueValue> values;
  bool operator==(const CatalogueRow&) const = default;
};

enum class CatalogueTable { kTrials, kPairs };
std::string_view TableName(CatalogueTable table);
const std::vector<CatalogueColumn>& Columns(CatalogueTable table);

// The position of a column by its name; nothing for a name the table does not have.
std::optional<std::size_t> ColumnIndex(CatalogueTable table, std::string_view name);

// Everything a trial's row is made of, whether it comes from the run that has just ended or
// from its JSON document read back.
struct TrialEntry {
  std::string folder;
  TrialFacts facts;
  bool complete = false;
  std::array<PushSummary, 2> summaries{};
  std::vector<std::string> files;  // the names of the trial's files that are there
};

CatalogueRow TrialRow(const TrialEntry& entry);

// A cycle pair's row; `trial` is the stem of the trial it belongs to, empty for none.
CatalogueRow PairRow(const std::string& folder, const std::string& stem, const std::string& trial);

// The text of a value for tables and JSON: numbers as their shortest round-trip text, nothing
// as "" (tables) or null (JSON).
std::string ValueText(const CatalogueValue& v);
std::string ValueJson(const CatalogueValue& v);

}  // namespace velquor
