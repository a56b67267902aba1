// The Pushes screen shows a trial's pushes as they come: rows added, never the whole table
// again, each push's figures that reach to the next filled in when they come, the summary
// and curve kept with them; the choice between the trial and the last cycle, the summary
// window and "last N s".
#include "analysis/ui/pushes_screen.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>

#include "analysis/push_forms.h"
#include "analysis/sim_trial.h"
#include "analysis/trial_pushes.h"
#include "common/text_file.h"
#include "files/temp_dir.h"

namespace velquor::ui {
namespace {

// Every push row and the summary rows hold what a table of `w` written afresh holds.
void ExpectTable(const QTableWidget* t, const WheelPushes& w) {
  const int pushes = static_cast<int>(w.pushes.size());
  ASSERT_EQ(t->rowCount(), pushes + 3);
  for (int k = 0; k < pushes; ++k) {
    const Push& p = w.pushes.at(static_cast<std::size_t>(k));
    ASSERT_EQ(t->verticalHeaderItem(k)->text(), QString::number(p.number));
    for (int f = 0; f < kPushFigureCount; ++f) {
      ASSERT_EQ(t->item(k, f)->text(),
                QString::fromStdString(FigureCell(p.Figure(static_cast<PushFigure>(f)))))
          << "push " << p.number << " figure " << f;
    }
  }
  for (int f = 0; f < kPushFigureCount; ++f) {
    ASSERT_EQ(
        t->item(pushes, f)->text(),
        QString::fromStdString(FigureCell(w.summary.Figure(static_cast<PushFigure>(f)).mean)));
  }
}

TEST(PushesScreen, ATrialsPushesGrowRowByRow) {
  int argc = 1;
  char name[] = "pushes_screen_test";
  char* argv[] = {name};
  QApplication app(argc, argv);
  Form8 screen;
  ASSERT_TRUE(screen.optCycle->isChecked());

  sim::RigTrial rig(5, 5);
  TrialSeries series(5, sim::RigCalibration(), false);
  TrialPushes live = TrialPushes::Start(series, {}).value();
  QTableWidgetItem* first_row = nullptr;
  int calls = 0;
  for (std::int64_t i = 1; i <= 6000; ++i) {
    std::array<float, 2> volt{};
    std::array<std::uint16_t, 2> enc{};
    rig.Sample(i, volt, enc);
    series.Append(volt, enc);
    if (i % 50 != 0) continue;
    bool news = false;
    live.Follow([&news](int, const PushNews&) { news = true; });
    if (!news) continue;
    screen.ShowTrial(live.Analysis(), true);
    ++calls;
    ASSERT_TRUE(screen.optTrial->isChecked()) << "a trial running is shown";
    const PushAnalysis a = live.Analysis();
    for (std::size_t w = 0; w < 2; ++w) ExpectTable(screen.tblPushes.at(w), a.wheels.at(w));
    // The rows already there stay: the table is not written afresh (push 1's row is
    // written again once, when push 2 gives it its cycle).
    if (first_row == nullptr && screen.tblPushes[0]->rowCount() > 4) {
      first_row = screen.tblPushes[0]->item(0, 0);
    } else if (first_row != nullptr) {
      ASSERT_EQ(screen.tblPushes[0]->item(0, 0), first_row);
    }
  }
  ASSERT_GT(calls, 10);
  live.End();
  screen.ShowTrial(live.Analysis(), false);
  const PushAnalysis whole = AnalyseTrial(series, {}).value();
  for (std::size_t w = 0; w < 2; ++w) ExpectTable(screen.tblPushes.at(w), whole.wheels.at(w));
  EXPECT_TRUE(screen.lblStatus->text().startsWith("Trial: "));

  // The CSV is the trial's.
  testing::TempDir dir;
  const std::string csv = dir / "t_pushes.csv";
  screen.SetTrialSource("RUN0000001_trial.csv");
  ASSERT_TRUE(screen.ExportCsv(QString::fromStdString(csv)));
  EXPECT_EQ(ReadFileBytes(csv).value(), PushCsv("RUN0000001_trial.csv", whole));

  // "Last N s" closes the window on the last N s of the trial (30 s here); a blank box opens it.
  screen.txtLast->setText("20");
  screen.cmdLast->click();
  ASSERT_TRUE(screen.Parameters().from_s.has_value());
  EXPECT_EQ(*screen.Parameters().from_s, 10.0);
  EXPECT_FALSE(screen.Parameters().to_s.has_value());
  EXPECT_EQ(screen.txtWindow[0]->text(), QString("10"));
  screen.txtWindow[0]->clear();
  screen.txtWindow[1]->setText("5");
  ASSERT_TRUE(screen.Apply());
  EXPECT_FALSE(screen.Parameters().from_s.has_value());
  EXPECT_EQ(screen.Parameters().to_s, 5.0);
  screen.txtWindow[0]->setText("9");
  EXPECT_FALSE(screen.Apply());
  EXPECT_TRUE(screen.lblStatus->text().contains("to_s 5 cannot be used"))
      << screen.lblStatus->text().toStdString();
  screen.txtLast->setText("-1");
  screen.cmdLast->click();
  EXPECT_TRUE(screen.lblStatus->text().contains("above 0"));

  // "the last cycle" chosen by hand stays chosen as a new trial runs.
  screen.optCycle->click();
  EXPECT_EQ(screen.tblPushes[0]->rowCount(), 0);  // no cycle was shown
  TrialSeries next(5, sim::RigCalibration(), false);
  rig.AppendTo(next, 2000);
  screen.ShowTrial(AnalyseTrial(next, {}).value(), true);
  EXPECT_TRUE(screen.optCycle->isChecked());
  screen.optTrial->click();
  ExpectTable(screen.tblPushes[0], AnalyseTrial(next, {}).value().wheels[0]);

  // A longer, different trial viewed from its file, then the same one under new parameters:
  // each is written afresh, no row of what was shown before it left standing.
  sim::RigTrial other_rig(9, 5);
  TrialSeries other(5, sim::RigCalibration(), false);
  other_rig.AppendTo(other, 8000);
  PushParameters stricter;
  stricter.min_peak = 15;
  for (const PushParameters& p : {PushParameters{}, stricter}) {
    const PushAnalysis a = AnalyseTrial(other, p).value();
    screen.ShowTrial(a, false);
    for (std::size_t w = 0; w < 2; ++w) ExpectTable(screen.tblPushes.at(w), a.wheels.at(w));
  }
}

}  // namespace
}  // namespace velquor::ui
