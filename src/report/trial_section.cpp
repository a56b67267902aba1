#include "report/trial_section.h"

#include "common/number_text.h"
#include "report/push_section.h"

namespace velquor {

void AppendTrialSection(const LoadedTrial& trial, const PushAnalysis& a,
                        const std::array<Rgb, 3>& GraphColor, ReportDocument& doc) {
  const std::string stem = TrialStem(trial.path);
  const TrialSeries& s = *trial.series;
  ReportBlock head{Heading{"Trial " + stem}, stem};
  head.newPage = !doc.blocks.empty();
  doc.blocks.push_back(std::move(head));
  TextTable facts;
  facts.widths = {40, 140};
  facts.align = {Align::kLeft, Align::kLeft};
  facts.rows = {
      {"File", trial.path},
      {"Samples", std::to_string(s.Samples()) + " at " + PlainForm(s.IntervalMs()) + " ms, " +
                      PlainForm(static_cast<double>(s.Samples()) * s.Dt()) + " s"}};
  std::string markers;
  for (const TrialCsvMarker& m : trial.markers) {
    markers += (markers.empty() ? "" : ", ") + std::to_string(m.number) + " at " +
               PlainForm(static_cast<double>(m.sample) * s.Dt()) + " s";
  }
  facts.rows.push_back({"Markers", markers.empty() ? "none" : markers});
  doc.blocks.push_back({std::move(facts), stem});
  AppendPushSection(stem, a, GraphColor, doc);
}

}  // namespace velquor
