// The push analysis as text: the tidy CSV of every push, the readable tables of both wheels
// and the short text of one figure that tables and screens show.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "analysis/push_analysis.h"

namespace velquor {

// A figure in the CSV: the shortest text that reads back to the same double, "" when empty
// (or not a finite number, which only a series holding such values could give).
std::string FigureText(std::optional<double> v);

// A text field as RFC 4180 writes it: in double quotes, inner quotes doubled, when it holds
// ",", '"' or a line end; as it stands otherwise.
std::string CsvField(std::string_view text);

// UTF-8, LF line ends: "file,wheel,push," and the figure names, then one row per push of
// wheel 0 and then wheel 1, an empty figure an empty field.
std::string PushCsv(std::string_view file, const PushAnalysis& a);

// Rounded to three decimals for reading ("12.346"), "" when empty.
std::string FigureCell(std::optional<double> v);

// For each wheel a heading line with the counts and push frequency, a row per push, then the
// mean, SD and CV rows of the steady pushes; ends in a line feed.
std::string PushTables(std::string_view file, const PushAnalysis& a);

}  // namespace velquor
