#include "analysis/push_forms.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "common/shortest_text.h"

namespace velquor {
namespace {

constexpr std::array<const char*, 2> kWheelNames = {"left", "right"};

std::string Pad(std::string text, std::size_t width) {
  if (text.size() < width) text.insert(0, width - text.size(), ' ');
  return text;
}

std::size_t ColumnWidth(int f) {
  return std::max<std::size_t>(10, kPushFigureNames.at(static_cast<std::size_t>(f)).size()) + 1;
}

// One row of the table: a label in the first column and a cell per figure.
template <class CellOf>
std::string TableRow(const std::string& label, CellOf cell) {
  std::string row = Pad(label, 6);
  for (int f = 0; f < kPushFigureCount; ++f) {
    row += Pad(cell(static_cast<PushFigure>(f)), ColumnWidth(f));
  }
  return row + "\n";
}

std::string WheelTable(std::string_view file, const WheelPushes& w) {
  const PushSummary& sum = w.summary;
  std::string out =
      std::string(file) + "  wheel " + std::to_string(w.wheel) + " (" +
      kWheelNames.at(static_cast<std::size_t>(w.wheel)) + "): " + std::to_string(sum.pushes) +
      " pushes, " + std::to_string(sum.partial) + " partial, " + std::to_string(sum.rejected) +
      " rejected, " + std::to_string(sum.steady) + " steady, push frequency " +
      (sum.push_frequency_per_min ? FigureCell(sum.push_frequency_per_min) : "-") + " /min\n";
  out += TableRow("push", [](PushFigure f) {
    return std::string(kPushFigureNames.at(static_cast<std::size_t>(f)));
  });
  for (const Push& p : w.pushes) {
    out +=
        TableRow(std::to_string(p.number), [&](PushFigure f) { return FigureCell(p.Figure(f)); });
  }
  const std::pair<const char*, std::optional<double> FigureSummary::*> rows[] = {
      {"mean", &FigureSummary::mean},
      {"sd", &FigureSummary::sd},
      {"cv_pct", &FigureSummary::cv_pct}};
  for (const auto& row : rows) {
    const auto field = row.second;
    out += TableRow(row.first, [&](PushFigure f) { return FigureCell(sum.Figure(f).*field); });
  }
  return out;
}

}  // namespace

std::string FigureText(std::optional<double> v) {
  return v && std::isfinite(*v) ? ShortestText(*v) : std::string();
}

std::string CsvField(std::string_view text) {
  if (text.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(text);
  std::string out = "\"";
  for (char c : text) {
    if (c == '"') out += '"';
    out += c;
  }
  return out + "\"";
}

std::string PushCsv(std::string_view file, const PushAnalysis& a) {
  std::string out = "file,wheel,push";
  for (std::string_view name : kPushFigureNames) out.append(",").append(name);
  out += "\n";
  const std::string file_field = CsvField(file);
  for (const WheelPushes& w : a.wheels) {
    for (const Push& p : w.pushes) {
      out += file_field + "," + std::to_string(w.wheel) + "," + std::to_string(p.number);
      for (const std::optional<double>& v : p.figures) out += "," + FigureText(v);
      out += "\n";
    }
  }
  return out;
}

std::string FigureCell(std::optional<double> v) {
  if (!v) return {};
  if (!(std::fabs(*v) < 1e15)) return ShortestText(*v);  // too long to print in full
  std::array<char, 32> buf{};
  std::snprintf(buf.data(), buf.size(), "%.3f", *v);
  return buf.data();
}

std::string PushTables(std::string_view file, const PushAnalysis& a) {
  std::string out;
  for (const WheelPushes& w : a.wheels) {
    if (!out.empty()) out += "\n";
    out += WheelTable(file, w);
  }
  return out;
}

}  // namespace velquor
