// The calibration screen (capture, release, fit, file) and Data View reloading a saved
// measurement into the result boxes.
#include <QDirIterator>
#include <QMessageBox>
#include <QRadioButton>
#include <QTableWidget>
#include <QTreeWidget>

#include "analysis/sim_trial.h"
#include "analysis/trial_pushes.h"
#include "analysis/ui/calc_results.h"
#include "analysis/ui/pushes_screen.h"
#include "calibration/calibration_workflow.h"
#include "calibration/ui/calibration_screen.h"
#include "common/text_file.h"
#include "file_text.h"
#include "files/calibration_file.h"
#include "files/trial_csv_text.h"
#include "files/ui/data_view.h"
#include "measure/ui/lamp.h"
#include "plot/ui/picture_base.h"
#include "program_fixture.h"

using velquor::testing::Program;
using velquor::testing::ReadText;

namespace velquor {
namespace {

// Every text the two result tables and the torque graphs show, by control name.
QMap<QString, QString> ShownResults(ui::Form1& w) {
  QMap<QString, QString> shown;
  auto take = [&shown](QWidget* in, const QString& prefix) {
    for (QLineEdit* box : in->findChildren<QLineEdit*>()) {
      if (box->objectName().startsWith("txt") && box->isReadOnly()) {
        shown[prefix + box->objectName()] = box->text();
      }
    }
  };
  take(w.centralWidget(), "main ");
  take(&w.CalcResults(), "strokes ");
  for (const char* end : {"Ymin", "Ymax", "Xmax"}) {
    shown[QString("torque ") + end] = w.Picture_base[0]->findChild<QLineEdit*>(end)->text();
  }
  return shown;
}

// One 3 s cycle on the rig (1500 samples at 2 ms: the rig's world runs in the
// measurement's time, so three pushes take three seconds), whose gauges give about 20 Nm per
// volt; saved automatically as data\RUN0000001 when `save`.
void MeasureOnce(Program& p, bool save) {
  ui::Form1& w = p.window();
  p.ws().calibration.Ka1 = {20, 20};
  p.Prepare("1500");
  w.txtTimerInterval->setText("2");
  w.CalcResults().txtStartPosCond->setText("0");
  w.chkAutoDataSave->setChecked(save);
  p.Run(1);
}

}  // namespace

class DataScreensTest : public QObject {
  Q_OBJECT

 private slots:
  void setCapturesAndReleasesARow() {
    Program p(true);
    p.scripted().codes = {2100, 2050};
    ui::Form5& f = p.window().Calibration();
    f.LiveRead();
    QCOMPARE(f.txtVolt.at(0)->text(), QString("0.2539063"));

    f.cmdSet.at(0).at(2)->click();
    QCOMPARE(f.txtVoltData.at(0).at(2)->text(), QString("0.2539063"));
    f.cmdSet.at(0).at(2)->click();  // the second press empties the row
    QCOMPARE(f.txtVoltData.at(0).at(2)->text(), QString());
  }

  void fitShowsDrawsAndWrites_data() {
    QTest::addColumn<QStringList>("ch1Volts");  // rows 2 and 10 of channel 1
    QTest::addColumn<bool>("fits");
    QTest::newRow("both channels fit") << QStringList{"-0.5", "0.5"} << true;
    QTest::newRow("a voltage that is no number") << QStringList{"-0.5", "0.5V"} << false;
  }
  void fitShowsDrawsAndWrites() {
    QFETCH(QStringList, ch1Volts);
    QFETCH(bool, fits);
    Program p;
    ui::Form1& w = p.window();
    QDir().mkpath(p.path("auto"));
    w.FileOption().txtFileDir->setText(p.stored("auto"));
    ui::Form5& f = w.Calibration();
    const char* ch0[][3] = {{"0", "-1", "-19"}, {"6", "0", "1"}, {"12", "1", "21.0003"}};
    for (const auto& row : ch0) {
      f.txtVoltData.at(0).at(std::atoi(row[0]))->setText(row[1]);
      f.txtTqData.at(0).at(std::atoi(row[0]))->setText(row[2]);
    }
    f.txtVoltData.at(1).at(2)->setText(ch1Volts.at(0));
    f.txtVoltData.at(1).at(10)->setText(ch1Volts.at(1));  // torques -20 and 20
    f.Command4->click();

    QCOMPARE(QFile::exists(p.path(kCalibrationFileName)), fits);
    QDirIterator copies(p.path("auto"), {"*.clb"});
    QCOMPARE(copies.hasNext(), fits);
    if (!fits) {
      QVERIFY(!p.notice("Calibration not changed").isEmpty());
      QCOMPARE(p.ws().calibration.Ka1[0], 0.0);
      QCOMPARE(f.txtKa0.at(1)->text(), QString());
      return;
    }
    QCOMPARE(p.notice("Calibration saved"), "Calibration saved in " + p.path(kCalibrationFileName) +
                                                ", its dated copy in " + copies.next());
    QCOMPARE(f.txtKa0.at(1)->text(), QString("20.0002"));  // four decimals at most
    QCOMPARE(f.txtKa1.at(1)->text(), QString("40."));
    QCOMPARE(f.txtKa1.at(0)->text(), QString("."));
    QCOMPARE(p.ws().calibration.Ka1[0], static_cast<double>(20.00015f));
    // The fitted lines are drawn over the points, channel 1 last.
    const auto& cmds = f.graph().pctFig()->recording().commands();
    QCOMPARE(std::get<LineCmd>(cmds.back()), (LineCmd{-2, -80, 2, 80, MakeRgb(0, 0, 255)}));
  }

  void doubtfulFitAsksFirst_data() {
    QTest::addColumn<QStringList>("ch0Volts");  // rows 4 (-10 Nm), 6 (0 Nm) and 8 (10 Nm)
    QTest::addColumn<QString>("doubt");         // empty: no question
    QTest::addColumn<bool>("yes");
    QTest::newRow("a good fit") << QStringList{"-0.5", "", "0.5"} << QString() << false;
    QTest::newRow("span under 0.1 V, No")
        << QStringList{"0.250", "", "0.255"} << "the voltages span 0.005 V" << false;
    QTest::newRow("R² under 0.99, No")
        << QStringList{"-0.5", "0.5", "-0.4"} << "R² is 0.008" << false;
    QTest::newRow("slope 25 % above, No")
        << QStringList{"-0.4", "", "0.4"} << "Ka1 = 25 Nm/V differs by 25 %" << false;
    QTest::newRow("slope 25 % above, Yes")
        << QStringList{"-0.4", "", "0.4"} << "Ka1 = 25 Nm/V differs by 25 %" << true;
  }
  void doubtfulFitAsksFirst() {
    QFETCH(QStringList, ch0Volts);
    QFETCH(QString, doubt);
    QFETCH(bool, yes);
    Program p;
    // A calibration of 20 Nm/V on both channels is in force from the start.
    Calibration in_force = Calibration::DesignTime();
    in_force.Ka1 = {20, 20};
    in_force.loaded = true;
    const std::string clb = ui::FromQ(p.path(kCalibrationFileName));
    QVERIFY(SaveCalibration(in_force, "", {}, clb).working.ok());
    const QByteArray before = ReadText(p.path(kCalibrationFileName));
    ui::Form1& w = p.window();
    const QString in_force_text = "ch0 Tq = 20 x V + 0 Nm, ch1 Tq = 20 x V + 0 Nm; from " +
                                  p.path(kCalibrationFileName) + " of ";
    QVERIFY(
        p.notice("Calibration in force: ").startsWith("Calibration in force: " + in_force_text));
    QVERIFY(w.shape_AD->toolTip().startsWith("Calibration in force: " + in_force_text));
    ui::Form5& f = w.Calibration();
    QVERIFY(f.lblInForce->text().startsWith("In force: " + in_force_text));

    for (int k = 0; k < 3; ++k) f.txtVoltData.at(0).at(4 + 2 * k)->setText(ch0Volts.at(k));
    f.txtVoltData.at(1).at(4)->setText("-0.5");
    f.txtVoltData.at(1).at(8)->setText("0.5");
    f.Command4->click();
    QVERIFY(f.lblFitQuality.at(1)->text() == "Fit: R² 1.00000, span 1.000 V");
    QMessageBox* question = f.PendingQuestion();
    if (doubt.isEmpty()) {
      QVERIFY(question == nullptr);
      QVERIFY(ReadText(p.path(kCalibrationFileName)) != before);
      QVERIFY(!p.notice("Calibration saved in").isEmpty());
      return;
    }
    QVERIFY(question != nullptr);
    QVERIFY2(question->text().contains(doubt), qPrintable(question->text()));
    QCOMPARE(question->defaultButton(), question->button(QMessageBox::No));
    QTRY_VERIFY(question->isVisible());
    question->button(yes ? QMessageBox::Yes : QMessageBox::No)->click();
    QTRY_VERIFY(f.PendingQuestion() == nullptr);
    if (yes) {
      QCOMPARE(p.ws().calibration.Ka1[0], 25.0);
      QVERIFY(ReadText(p.path(kCalibrationFileName)) != before);
      QVERIFY(f.lblInForce->text().startsWith("In force: ch0 Tq = 25 x V"));
      QVERIFY(w.shape_AD->toolTip().startsWith("Calibration in force: ch0 Tq = 25 x V"));
      return;
    }
    // No: the calibration in force, its file and the Result frame stay as they were.
    QCOMPARE(p.ws().calibration.Ka1[0], 20.0);
    QCOMPARE(ReadText(p.path(kCalibrationFileName)), before);
    QCOMPARE(f.txtKa0.at(1)->text(), QString());
    QVERIFY(f.lblInForce->text().startsWith("In force: " + in_force_text));
    QCOMPARE(p.notice("Calibration not changed"),
             "Calibration not changed: the calibration in force stays; " +
                 p.path(kCalibrationFileName) + " was kept as it is");
  }

  void dataViewReloadsASavedMeasurement() {
    Program p;
    ui::Form1& w = p.window();
    MeasureOnce(p, true);
    QVERIFY2(p.ws().strokes.StrokeCount >= 1, "the rig should push at least twice in 3 s");
    const QMap<QString, QString> saved = ShownResults(w);
    MeasureOnce(p, false);  // a second, different measurement in memory
    // At 2 ms each run explains once why its speed, turning-rate and power graphs show means.
    QCOMPARE(w.Notices().entries().filter("one encoder count in a sample is").size(), 2);
    QCOMPARE(w.Picture_base[kSpeedGraph]->frame().Text(AxisText::kYaxis),
             std::string("Speed (m/s), 20 ms mean"));
    w.txtDataNum->setText("150");
    QVERIFY(ShownResults(w) != saved);

    ui::Form6& f = w.DataView();
    f.SetDirectory(p.path("data"));
    // The per-sample file is not listed, the run's trial is.
    QCOMPARE(f.File1->topLevelItemCount(), 2);
    QCOMPARE(f.File1->topLevelItem(0)->text(0), QString("RUN0000001_dat.csv"));
    QCOMPARE(f.File1->topLevelItem(1)->text(0), QString("RUN0000001_trial.csv"));
    // Its summary gives the date, the condition and the note.
    QVERIFY(f.File1->topLevelItem(0)->text(1).contains(':'));
    QCOMPARE(f.File1->topLevelItem(0)->text(2), QString("2 ms x 1500"));
    f.File1->setCurrentItem(f.File1->topLevelItem(0));
    QCOMPARE(ui::ToQ(f.ViewDatPath()), p.stored("data") + "\\RUN0000001_dat.csv");
    f.Command1->click();
    QCOMPARE(ShownResults(w), saved);
    // The notice and both result screens' titles name the file now shown.
    const QString shown = p.path("data/RUN0000001_dat.csv");
    QCOMPARE(p.notice("Showing"), "Showing " + shown);
    QVERIFY(w.windowTitle().endsWith(shown));
    // The condition boxes are left for the next live measurement.
    QCOMPARE(w.txtDataNum->text(), QString("150"));

    // Without its per-sample file the measurement is not read and the record stays.
    QFile::remove(p.path("data/RUN0000001_csv.csv"));
    p.ws().record.DataNum = 123;
    f.Command1->click();
    QVERIFY(p.notice("Data View").contains("RUN0000001_csv.csv"));
    QCOMPARE(p.ws().record.DataNum, 123.0f);
  }

  // The pushes' CSV names the measurement as the notices do, "/" between the parts: the
  // trial's per-sample file, or the cycle's summary file. Data View lists a trial beside the
  // pairs; "View" shows its pushes on the Pushes screen, analysed under the calibration in
  // force, and Apply analyses it again.
  void pushesCsvNamesTheMeasurementAndDataViewShowsATrial() {
    Program p;
    ui::Form1& w = p.window();
    p.ws().calibration = sim::RigCalibration();
    MeasureOnce(p, true);
    for (const char* view : {"cycle", "trial"}) {
      const bool trial = QByteArray(view) == "trial";
      (trial ? w.Pushes().optTrial : w.Pushes().optCycle)->click();
      const QString out = p.path(QString("pushes_%1.csv").arg(view));
      QVERIFY(w.Pushes().ExportCsv(out));
      const QByteArray csv = ReadText(out);
      const QString name = trial ? "data/RUN0000001_trial.csv" : "data/RUN0000001_dat.csv";
      QVERIFY2(csv.contains(p.path(name).toUtf8()), view);
      QVERIFY(!csv.contains('\\'));
    }
    p.ws().calibration = sim::RigCalibration();
    sim::RigTrial rig(3, 5);
    TrialSeries trial(5, sim::RigCalibration(), false);
    rig.AppendTo(trial, 4000);
    QVERIFY(WriteFileAtomic(ui::FromQ(p.path("data/RUN0000002_trial.csv")),
                            testing::TrialText(trial, {{100, 1}}))
                .ok());
    ui::Form6& f = w.DataView();
    f.SetDirectory(p.path("data"));
    QCOMPARE(f.File1->topLevelItemCount(), 3);  // the pair and the trial of the run, this trial
    QCOMPARE(f.File1->topLevelItem(2)->text(0), QString("RUN0000002_trial.csv"));
    f.File1->setCurrentItem(f.File1->topLevelItem(2));
    const float data_num = p.ws().record.DataNum;
    f.Command1->click();
    ui::Form8& pushes = w.Pushes();
    QVERIFY(pushes.optTrial->isChecked());
    const PushAnalysis expected = AnalyseTrial(trial, pushes.Parameters()).value();
    QVERIFY(expected.wheels[0].pushes.size() > 5);
    QCOMPARE(pushes.tblPushes[0]->rowCount(),
             static_cast<int>(expected.wheels[0].pushes.size()) + 3);
    QVERIFY(p.notice("Showing the trial").endsWith("RUN0000002_trial.csv"));
    QCOMPARE(p.ws().record.DataNum, data_num);  // the measurement in memory is left as it was
    // The torque over the whole trial: 4000 samples at 5 ms.
    QCOMPARE(pushes.Picture_time->box(AxisText::kXmax)->text(), QString("20"));
    QVERIFY(!pushes.Picture_time->pctFig()->recording().commands().empty());

    // Apply: the trial is analysed again with the parameters now in force.
    pushes.txtParameter[static_cast<std::size_t>(PushParameter::kMinPeak)]->setText("1000");
    QVERIFY(pushes.Apply());
    QCOMPARE(pushes.tblPushes[0]->rowCount(), 3);
  }
};

}  // namespace velquor

QTEST_MAIN(velquor::DataScreensTest)
#include "data_screens_test.moc"
