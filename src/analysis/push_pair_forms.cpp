#include "analysis/push_pair_forms.h"

#include <cstddef>

#include "analysis/push_forms.h"

namespace velquor {

std::string PairsCsv(std::string_view file, const PushPairs& pairs) {
  std::string out = "file,left,right,lag_ms";
  for (int f = 0; f < kPushFigureCount; ++f) {
    if (!IsSummarised(static_cast<PushFigure>(f))) continue;
    out.append(",si_").append(kPushFigureNames.at(static_cast<std::size_t>(f)));
  }
  out += "\n";
  const std::string file_field = CsvField(file);
  for (const PushPair& p : pairs.pairs) {
    out += file_field + "," + std::to_string(p.left) + "," + std::to_string(p.right) + "," +
           FigureText(p.lag_ms);
    for (int f = 0; f < kPushFigureCount; ++f) {
      const auto figure = static_cast<PushFigure>(f);
      if (IsSummarised(figure)) out += "," + FigureText(p.Si(figure));
    }
    out += "\n";
  }
  return out;
}

}  // namespace velquor
