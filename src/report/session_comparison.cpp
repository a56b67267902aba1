#include "report/session_comparison.h"

#include "analysis/result_texts.h"
#include "common/number_text.h"

namespace velquor {
namespace {

constexpr std::array<const char*, 2> kWheel = {"ch0", "ch1"};

std::string SessionStem(std::span<const ComparisonEntry> entries) {
  if (entries.empty()) return "Session";
  if (entries.size() == 1) return entries.front().stem;
  return "Session " + entries.front().stem + " to " + entries.back().stem;
}

}  // namespace

ComparisonEntry CompareMeasurement(const ReportSource& src) {
  ComparisonEntry e;
  e.stem = ShownStem(src.facts);
  e.date = src.facts.date;
  e.condition = PlainForm(src.rec.SampInterval) + " msec x " + PlainForm(src.rec.DataNum);
  const MainResultTexts m = ShowMainResults(src.kin);
  for (std::size_t w = 0; w < 2; ++w) e.wheels.at(w) = {m.txtSpeedAv.at(w)};
  return e;
}

void AppendSessionComparison(std::span<const ComparisonEntry> entries, ReportDocument& doc) {
  const std::string stem = SessionStem(entries);
  doc.blocks.push_back(
      {Heading{"Session of " + std::to_string(entries.size()) + " measurements", kTitlePt}, stem});
  TextTable t;
  t.head = {"Stem", "Date", "Condition", "Wheel", "Mean speed (m/s)"};
  t.widths = {26, 20, 26, 12, 26};
  t.align = {Align::kLeft, Align::kLeft, Align::kLeft, Align::kLeft, Align::kRight};
  for (const ComparisonEntry& e : entries) {
    for (std::size_t w = 0; w < 2; ++w) {
      std::vector<std::string> row;
      if (w == 0) {
        row = {e.stem, e.date, e.condition, kWheel.at(w)};
      } else {
        row = {"", "", "", kWheel.at(w)};
      }
      row.insert(row.end(), e.wheels.at(w).begin(), e.wheels.at(w).end());
      t.rows.push_back(std::move(row));
    }
  }
  doc.blocks.push_back({std::move(t), stem});
}

}  // namespace velquor
