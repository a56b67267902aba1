// The study labels on the main window (the title, a refused character, the trial's document,
// the settings file) and the Study screen over simulated trials of two participants: the tree,
// its figures, Scan where there is no catalogue, View in Data View, and the refresh as a
// measured trial is catalogued.
#include <QTreeWidget>
#include <cmath>

#include "analysis/ui/pushes_screen.h"
#include "catalogue/catalogue.h"
#include "catalogue/study_trials.h"
#include "catalogue/ui/study_screen.h"
#include "file_text.h"
#include "files/settings_file.h"
#include "files/ui/data_view.h"
#include "program_fixture.h"

using velquor::testing::Program;
using velquor::testing::ReadText;

namespace velquor {
namespace {

// The rows under `item` (the top level for null) by their first column's text.
QStringList Texts(const QTreeWidget& tree, const QTreeWidgetItem* item) {
  QStringList out;
  const int n = item ? item->childCount() : tree.topLevelItemCount();
  for (int k = 0; k < n; ++k) out << (item ? item->child(k) : tree.topLevelItem(k))->text(0);
  return out;
}

QTreeWidgetItem* Find(const QTreeWidget& tree, const QString& text) {
  const QList<QTreeWidgetItem*> hits =
      tree.findItems(text, Qt::MatchExactly | Qt::MatchRecursive, 0);
  return hits.isEmpty() ? nullptr : hits.front();
}

QString Both(std::optional<double> left, std::optional<double> right) {
  const auto one = [](std::optional<double> v) {
    return v ? QString::number(*v, 'f', 1) : QString("-");
  };
  return one(left) + " / " + one(right);
}

}  // namespace

class StudyTest : public QObject {
  Q_OBJECT

 private slots:
  // Typing a label shows it in the title; a character the rule refuses is not taken and a
  // notice names the box; the run started from the window writes the labels into its trial,
  // they are kept in the settings file, and the Study screen shown meanwhile lists the trial.
  void labelsGoIntoTitleTrialAndSettings() {
    Program p(true);
    ui::Form1& w = p.window();
    p.Prepare();
    const QString plain = w.windowTitle();
    for (const auto& [box, typed, title] :
         {std::tuple{w.txtParticipant, "P01", " - P01"},
          std::tuple{w.txtTask, "push-test", " - P01 / push-test"},
          std::tuple{w.txtSession, "S1", " - P01 / S1 / push-test"}}) {
      QTest::keyClicks(box, typed);
      QCOMPARE(w.windowTitle(), plain + title);
    }

    struct Refusal {
      QLineEdit* box;
      const char* typed;
      QString kept;
      const char* names;
    };
    for (const Refusal& r : {Refusal{w.txtTask, "_", "push-test", "Task \"push-test_\""},
                             Refusal{w.txtSession, " ", "S1", "Session \"S1 \""},
                             Refusal{w.txtParticipant, "/", "P01", "Participant \"P01/\""}}) {
      QTest::keyClicks(r.box, r.typed);
      QCOMPARE(r.box->text(), r.kept);
      QVERIFY2(!p.notice(r.names).isEmpty(), r.names);
    }
    QCOMPARE(w.windowTitle(), plain + " - P01 / S1 / push-test");

    ui::StudyScreen& study = w.Study();
    w.cmdStudy->click();
    QVERIFY(study.isVisible());
    QVERIFY(study.lblStatus->text().contains("No catalogue"));
    w.chkAutoDataSave->setChecked(true);
    w.txtTrialLength->setText("0.12");
    p.Run();
    QTRY_VERIFY(!p.notice("Trial saved: ").isEmpty());
    const QByteArray json = ReadText(p.path("data/RUN0000001_trial.json"));
    QVERIFY2(json.contains(R"("participant":"P01","session":"S1","task":"push-test")"),
             json.constData());
    // The trial's row is written after its files; the screen shows it then.
    QTRY_VERIFY(Find(*study.treStudy, "RUN0000001") != nullptr);
    QCOMPARE(Texts(*study.treStudy, nullptr), QStringList{"P01"});
    QCOMPARE(Find(*study.treStudy, "RUN0000001")->text(2), QString("push-test"));
    const StudyLabels kept = LoadSettings(ui::FromQ(p.path(kSettingsFileName))).values.study;
    QCOMPARE(kept.participant + " / " + kept.session + " / " + kept.task,
             std::string("P01 / S1 / push-test"));
  }

  // Two participants over three sessions each and a trial of no one; the directory has no
  // catalogue until Scan makes one, then every session and trial is listed with its figures,
  // and View shows the chosen trial in Data View.
  void studyScreenListsScansAndViews() {
    Program p(true);
    ui::Form1& w = p.window();
    p.Prepare();
    const std::string data = ui::FromQ(p.path("data"));
    struct Made {
      std::string stem;
      StudyLabels who;
      testing::SavedTrial trial;
    };
    std::vector<Made> made;
    int number = 1;
    for (const char* who : {"P01", "P02"}) {
      for (const char* session : {"S1", "S2", "S3"}) {
        // Two trials in each participant's first session, one in the others.
        const int trials = std::string(session) == "S1" ? 2 : 1;
        for (int k = 0; k < trials; ++k, ++number) {
          const std::string stem = "RUN" + std::to_string(10000000 + number * 2).substr(1);
          const StudyLabels labels{who, session, k == 0 ? "push" : "sprint"};
          made.push_back(
              {stem, labels,
               testing::SaveTrial(data, stem, number * 2 + 1, labels, 0.8 + 0.1 * number)});
        }
      }
    }
    made.push_back({"RUN0000099", {}, testing::SaveTrial(data, "RUN0000099", 100, {}, 1.0)});

    ui::StudyScreen& study = w.Study();
    w.menuStudy->trigger();
    QVERIFY(study.isVisible());
    QVERIFY2(study.lblStatus->text().contains("No catalogue"), qPrintable(study.lblStatus->text()));
    QCOMPARE(study.treStudy->topLevelItemCount(), 0);
    study.cmdScan->click();
    QTRY_VERIFY(!study.Scanning());
    QVERIFY(!p.notice("Study: catalogue").isEmpty());
    QVERIFY2(study.lblStatus->text().contains("9 trials of 2 participants"),
             qPrintable(study.lblStatus->text()));

    const QTreeWidget& tree = *study.treStudy;
    QCOMPARE(Texts(tree, nullptr), (QStringList{"P01", "P02", "(no participant)"}));
    for (int k = 0; k < 2; ++k) {
      QCOMPARE(Texts(tree, tree.topLevelItem(k)), (QStringList{"S1 (2)", "S2 (1)", "S3 (1)"}));
    }
    QCOMPARE(Texts(tree, tree.topLevelItem(2)), QStringList{"(no session) (1)"});
    for (const Made& m : made) {
      const QTreeWidgetItem* row = Find(tree, ui::ToQ(m.stem));
      QVERIFY2(row != nullptr, m.stem.c_str());
      QCOMPARE(row->parent()->parent()->text(0), m.who.participant.empty()
                                                     ? QString("(no participant)")
                                                     : ui::ToQ(m.who.participant));
      QCOMPARE(row->text(1), QString("2026-12-07 10:%1")
                                 .arg((std::stoi(m.stem.substr(3)) + 1) % 60, 2, 10, QChar('0')));
      QCOMPARE(row->text(2), ui::ToQ(m.who.task));
      QCOMPARE(row->text(3), QString("12.0"));
      const auto& w0 = m.trial.pushes.wheels[0].summary;
      const auto& w1 = m.trial.pushes.wheels[1].summary;
      QCOMPARE(row->text(4), QString("%1 / %2").arg(w0.steady).arg(w1.steady));
      QCOMPARE(row->text(5), Both(w0.push_frequency_per_min, w1.push_frequency_per_min));
      QCOMPARE(row->text(6), Both(w0.Figure(PushFigure::kContactAngle).mean,
                                  w1.Figure(PushFigure::kContactAngle).mean));
      QCOMPARE(row->text(7), Both(w0.Figure(PushFigure::kPeakTorque).mean,
                                  w1.Figure(PushFigure::kPeakTorque).mean));
    }
    // The torque differs between trials, so the figures are each trial's own.
    QVERIFY(Find(tree, "RUN0000002")->text(7) != Find(tree, "RUN0000004")->text(7));

    // Choosing a session chooses its trials; the participant and the task they share follow.
    QTreeWidgetItem* p2s1 = tree.topLevelItem(1)->child(0);
    study.treStudy->clearSelection();
    p2s1->setSelected(true);
    QCOMPARE(study.SelectedTrials().size(), std::size_t{2});
    QCOMPARE(study.SelectedParticipant(), QString("P02"));
    QCOMPARE(study.SelectedTask(), QString());  // push and sprint
    p2s1->child(1)->setSelected(true);
    p2s1->setSelected(false);
    QCOMPARE(study.SelectedTask(), QString("sprint"));
    QVERIFY(!study.cmdProgress->isHidden());  // the window gives it the progress report

    if (const QByteArray shot = qgetenv("VELQUOR_STUDY_SHOT"); !shot.isEmpty()) {
      study.resize(1080, 520);
      QVERIFY(study.grab().save(QString::fromLocal8Bit(shot)));
    }

    // View: Data View on the trial's directory with its file chosen, its pushes shown.
    study.treStudy->clearSelection();
    QTreeWidgetItem* chosen = Find(tree, "RUN0000008");
    chosen->setSelected(true);
    study.cmdView->click();
    QVERIFY(w.DataView().isVisible());
    QVERIFY2(QString::fromStdString(w.DataView().ViewDatPath()).endsWith("RUN0000008_trial.csv"),
             w.DataView().ViewDatPath().c_str());
    QVERIFY(w.DataView().File1->currentItem() != nullptr);
    QCOMPARE(w.DataView().File1->currentItem()->text(0), QString("RUN0000008_trial.csv"));
    QVERIFY(w.Pushes().windowTitle().contains("RUN0000008_trial.csv"));

    // Compare needs two trials and says so.
    study.cmdCompare->click();
    QVERIFY(!p.notice("Study: choose two or more trials to compare").isEmpty());
  }
};

}  // namespace velquor

QTEST_MAIN(velquor::StudyTest)
#include "study_test.moc"
