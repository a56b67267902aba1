// The feedback screen fed pushes as a session hands them over, without real time: the number
// and bar follow each shown push, amber outside the band, and "off" shows only "measuring".
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QStackedWidget>
#include <QTableWidget>
#include <vector>

#include "analysis/ui/feedback_screen.h"
#include "analysis/ui/feedback_tile.h"

namespace velquor::ui {
namespace {

std::vector<Push> Pushes(const std::vector<double>& peaks) {
  std::vector<Push> out;
  for (std::size_t k = 0; k < peaks.size(); ++k) {
    Push p;
    p.number = static_cast<int>(k + 1);
    p.figures.at(static_cast<std::size_t>(PushFigure::kOn)) = 1.0 + static_cast<double>(k);
    p.figures.at(static_cast<std::size_t>(PushFigure::kCycleTime)) = 1.0;
    p.figures.at(static_cast<std::size_t>(PushFigure::kPeakTorque)) = peaks[k];
    out.push_back(p);
  }
  return out;
}

FeedbackSettings PeakTorqueBetween(const char* low, const char* high, FeedbackSchedule s) {
  FeedbackSettings settings;
  settings.schedule = s;
  Target t;
  t.variable = static_cast<int>(PushFigure::kPeakTorque);
  t.low = ParseBandEnd(low).value();
  t.high = ParseBandEnd(high).value();
  settings.targets = {t};
  return settings;
}

// The application each test's screens live in.
struct App {
  int argc = 1;
  char name[21] = "feedback_screen_test";
  char* argv[2] = {name, nullptr};
  QApplication app{argc, argv};
};

TEST(FeedbackScreen, ThePushShownMovesTheNumberAndTheBarColour) {
  App app;
  FeedbackScreen screen;
  screen.SetSettings(PeakTorqueBetween("20", "30", FeedbackSchedule::kEveryPush));
  const std::vector<Push> pushes = Pushes({25, 34.5});
  EXPECT_EQ(screen.Tile(1, 0).ValueText(), "-");
  EXPECT_TRUE(screen.PushFinal(1, pushes[0]).given.shown);
  EXPECT_EQ(screen.Tile(1, 0).ValueText(), "25.0");
  EXPECT_EQ(screen.Tile(1, 0).BarColor(), QColor::fromRgb(kInBandColor));
  EXPECT_EQ(screen.Tile(0, 0).ValueText(), "-");  // the other wheel is untouched
  screen.PushFinal(1, pushes[1]);
  EXPECT_EQ(screen.Tile(1, 0).ValueText(), "34.5");
  EXPECT_EQ(screen.Tile(1, 0).BarColor(), QColor::fromRgb(kOutOfBandColor));
  // A left push at the same onset makes a pair with the right one: 100 * 4.5 / 32.25.
  const LiveFeedbackOutcome paired = screen.PushFinal(0, Pushes({30, 30})[1]);
  EXPECT_EQ(paired.partner, 2);
  EXPECT_TRUE(screen.Tile(0, 0).accessibleName().endsWith("L/R +14.0 %"));
  EXPECT_TRUE(screen.Tile(1, 0).accessibleName().endsWith("L/R +14.0 %"));
  screen.StartTrial();
  EXPECT_EQ(screen.Tile(1, 0).ValueText(), "-");
}

TEST(FeedbackScreen, TheTargetsPanelAndTheSchedules) {
  App app;
  FeedbackScreen screen;
  // A band relative to a baseline that is not set yet is left open, and said.
  screen.tblTargets->item(1, 1)->setText("+10%");
  ASSERT_TRUE(screen.ApplyTargets());
  EXPECT_NE(screen.StatusText().indexOf("set the baseline first"), -1);
  PushAnalysis base;
  base.wheels[0].summary.figures.at(static_cast<std::size_t>(PushFigure::kContactAngle)).mean = 80;
  base.wheels[1].summary.figures.at(static_cast<std::size_t>(PushFigure::kContactAngle)).mean = 90;
  screen.SetBaseline(base, "RUN0000012_trial.csv");
  EXPECT_TRUE(screen.HasBaseline());
  EXPECT_NE(screen.StatusText().indexOf("RUN0000012_trial.csv"), -1);
  ASSERT_EQ(screen.Settings().targets.size(), 4u);
  EXPECT_EQ(screen.Settings().targets[1].low.kind, BandEnd::Kind::kRelative);

  // A box that is not a band end is named and changes nothing.
  screen.tblTargets->item(0, 2)->setText("fast");
  EXPECT_FALSE(screen.ApplyTargets());
  EXPECT_NE(screen.StatusText().indexOf("Row 1, high of push_frequency_per_min"), -1);
  EXPECT_EQ(screen.Settings().targets[0].high.kind, BandEnd::Kind::kOpen);

  // "Off": only "measuring" is shown, the pushes are still counted.
  screen.SetSettings(PeakTorqueBetween("", "", FeedbackSchedule::kOff));
  auto* stack = screen.findChild<QStackedWidget*>();
  ASSERT_NE(stack, nullptr);
  EXPECT_EQ(stack->currentWidget(), screen.lblMeasuring);
  EXPECT_FALSE(screen.PushFinal(0, Pushes({25})[0]).given.shown);
}

}  // namespace
}  // namespace velquor::ui
