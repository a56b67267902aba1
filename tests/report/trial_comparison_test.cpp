// Trials compared: each trial's row carries its own steady-push figures as read back from its
// per-sample file, and a comparison that cannot be made whole is refused with the reason.
#include <gtest/gtest.h>

#include <string>
#include <variant>
#include <vector>

#include "analysis/push_forms.h"
#include "catalogue/study_trials.h"
#include "files/temp_dir.h"
#include "files/trial_file_text.h"
#include "report/trial_comparison.h"

namespace velquor {
namespace {

ReportSettings RigSettings() {
  ReportSettings s;
  s.calibration.Ka1 = {20, 20};  // as the simulated trials were taken
  s.calibration.Ka0 = {0, 0};
  return s;
}

const TextTable* ComparisonTableOf(const ReportDocument& doc) {
  for (const ReportBlock& b : doc.blocks) {
    if (const auto* t = std::get_if<TextTable>(&b.content); t && !t->head.empty()) return t;
  }
  return nullptr;
}

TEST(TrialComparison, EachTrialRowHoldsItsOwnSteadyPushFigures) {
  testing::TempDir dir;
  const std::vector<testing::SavedTrial> saved = {
      testing::SaveTrial(dir.path(), "RUN0000002", 3, {"P01", "S1", "push"}, 0.8),
      testing::SaveTrial(dir.path(), "RUN0000004", 5, {"P01", "S2", "push"}, 1.3)};
  const std::vector<TrialToCompare> trials = {
      {dir / TrialCsvName("RUN0000002"), "2026-12-07 10:03"},
      {dir / TrialCsvName("RUN0000004"), "2026-12-07 10:05"}};
  const FileReport report = ComposeTrialComparison(trials, RigSettings());
  ASSERT_TRUE(report.failures.empty()) << report.failures.front().Describe();
  const TextTable* table = ComparisonTableOf(report.doc);
  ASSERT_NE(table, nullptr);
  ASSERT_EQ(table->rows.size(), 4u);  // ch0 and ch1 of each trial
  // Stem, date, condition, wheel, speed, steady, pushes/min, then each figure's mean and CV.
  for (std::size_t m = 0; m < saved.size(); ++m) {
    EXPECT_EQ(table->rows[2 * m][0], trials[m].path.substr(dir.path().size() + 1, 10));
    EXPECT_EQ(table->rows[2 * m][1], trials[m].date);
    EXPECT_EQ(table->rows[2 * m][2], "10 ms, 12 s");
    for (std::size_t w = 0; w < 2; ++w) {
      const PushSummary& s = saved[m].pushes.wheels.at(w).summary;
      const std::vector<std::string>& row = table->rows[2 * m + w];
      EXPECT_EQ(row.at(5), std::to_string(s.steady)) << m << w;
      EXPECT_EQ(row.at(6), FigureCell(s.push_frequency_per_min)) << m << w;
      EXPECT_EQ(row.at(9), FigureCell(s.Figure(PushFigure::kContactAngle).mean)) << m << w;
      EXPECT_EQ(row.at(11), FigureCell(s.Figure(PushFigure::kPeakTorque).mean)) << m << w;
    }
  }
  // The stronger trial's peak torque is larger: the rows are not one trial twice.
  EXPECT_NE(table->rows[0].at(11), table->rows[2].at(11));
}

TEST(TrialComparison, RefusesWhatCannotBeComparedWhole) {
  testing::TempDir dir;
  testing::SaveTrial(dir.path(), "RUN0000002", 3, {"P01", "S1", "push"}, 1.0);
  const std::string good = dir / TrialCsvName("RUN0000002");
  const std::string missing = dir / TrialCsvName("RUN0000010");
  struct Case {
    std::vector<TrialToCompare> trials;
    std::string says;
  };
  for (const Case& c : std::vector<Case>{
           {{{good, ""}}, "two or more trials"},
           {{}, "two or more trials"},
           {{{good, ""}, {missing, ""}}, "RUN0000010_trial.csv"},
       }) {
    const FileReport report = ComposeTrialComparison(c.trials, RigSettings());
    ASSERT_EQ(report.failures.size(), 1u) << c.says;
    EXPECT_NE(report.failures[0].Describe().find(c.says), std::string::npos)
        << report.failures[0].Describe();
    EXPECT_TRUE(report.doc.blocks.empty());
  }
}

}  // namespace
}  // namespace velquor
