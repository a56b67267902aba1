#include "report/trial_comparison.h"

#include <cmath>
#include <optional>
#include <vector>

#include "analysis/push_forms.h"
#include "analysis/trial_pushes.h"
#include "common/number_text.h"
#include "files/trial_file_reader.h"

namespace velquor {

ComparisonEntry CompareTrial(const std::string& stem, const std::string& date,
                             const TrialSeries& series, const PushAnalysis& pushes) {
  ComparisonEntry e;
  e.stem = stem;
  e.date = date;
  e.condition = PlainForm(series.IntervalMs()) + " ms, " +
                PlainForm(static_cast<double>(series.Samples()) * series.Dt()) + " s";
  for (std::size_t w = 0; w < 2; ++w) {
    // The mean speed over the samples that have one (the first has none).
    double sum = 0;
    std::int64_t n = 0;
    for (std::int64_t i = 1; i <= series.Samples(); ++i) {
      const double v = series.Speed(static_cast<int>(w), i);
      if (!std::isfinite(v)) continue;
      sum += v;
      ++n;
    }
    e.wheels.at(w) = {
        FigureCell(n > 0 ? std::optional(sum / static_cast<double>(n)) : std::nullopt)};
    ComparePushes(pushes, w, e);
  }
  return e;
}

FileReport ComposeTrialComparison(std::span<const TrialToCompare> trials, const ReportSettings& s) {
  FileReport out;
  std::vector<ComparisonEntry> entries;
  for (const TrialToCompare& t : trials) {
    auto trial = LoadTrialCsv(t.path, s.calibration, s.shift);
    if (!trial) {
      out.failures.push_back(trial.problem());
      continue;
    }
    for (const Problem& p : trial.value().notices) out.notices.push_back(p);
    auto pushes = AnalyseTrial(*trial.value().series, s.pushes);
    if (!pushes) {
      out.failures.push_back({t.path, 0, 0, pushes.problem().what});
      continue;
    }
    entries.push_back(
        CompareTrial(TrialStem(t.path), t.date, *trial.value().series, pushes.value()));
  }
  if (out.failures.empty() && entries.size() < 2) {
    out.failures.push_back({"", 0, 0, "a comparison needs two or more trials"});
  }
  if (out.failures.empty()) out.doc = AssembleReport(entries, {});
  return out;
}

}  // namespace velquor
