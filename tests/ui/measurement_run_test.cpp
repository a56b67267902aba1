// Real measurement runs on the simulated rig through the window: cycles until Stop with
// automatic saving, the manual hand-over, a save that fails, a Start nested in a run, F5.
#include <QFile>
#include <QTimer>
#include <QtTest>

#include "files/ui/data_view.h"
#include "files/ui/file_option.h"
#include "measure/ui/lamp.h"
#include "program_fixture.h"

using velquor::testing::Program;

namespace velquor {
namespace {

int LineCount(const QString& path) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) return -1;
  return f.readAll().count("\r\n");
}

QString Numbered(const char* head, int number) {
  return QString("%1%2").arg(head).arg(number, 7, 10, QChar('0'));
}

}  // namespace

class MeasurementRunTest : public QObject {
  Q_OBJECT

 private slots:
  void automaticSaveNumbersEveryCycleUntilStop() {
    Program p;
    ui::Form1& w = p.window();
    p.Prepare();
    w.chkAutoDataSave->setChecked(true);
    p.Run(3);

    QCOMPARE(p.cycles, 3);
    for (int k = 1; k <= 3; ++k) {
      const QString stem = p.path("data/" + Numbered("RUN", k));
      QVERIFY2(QFile::exists(stem + "_dat.csv"), qPrintable(stem));
      QCOMPARE(LineCount(stem + "_csv.csv"), 2 + 50);
    }
    QVERIFY(!QFile::exists(p.path("data/" + Numbered("RUN", 4) + "_dat.csv")));
    QCOMPARE(w.FileOption().txtFileOrg->text(), QString("4"));
    QCOMPARE(w.FileOption().txtFileDat->text(),
             p.stored("data") + "\\" + Numbered("RUN", 4) + "_dat.csv");
    QCOMPARE(w.measuring(), 0);
    QVERIFY(w.cmdStart->isEnabled());
    QVERIFY(!w.cmdStop->isEnabled());
    QCOMPARE(w.shape_Timer->colour(), kLampRed);
    QCOMPARE(w.RetInf->text(), QString());
    // The graphs and tables show the last cycle.
    QCOMPARE(w.Picture_base[0]->findChild<QLineEdit*>("Xmax")->text(), QString("0.05"));
    QVERIFY(!w.txtSpeedMax[0]->text().isEmpty());
  }

  void manualHandOver_data() {
    QTest::addColumn<bool>("autoToo");
    QTest::newRow("manual save") << false;
    QTest::newRow("automatic and manual save") << true;
  }
  void manualHandOver() {
    QFETCH(bool, autoToo);
    Program p;
    ui::Form1& w = p.window();
    p.Prepare();
    w.chkManDataSave->setChecked(true);
    w.chkAutoDataSave->setChecked(autoToo);
    p.Run();  // the hand-over ends the run by itself

    ui::Form4& f = w.FileOption();
    QCOMPARE(p.cycles, 1);
    QVERIFY(f.isVisible());
    QCOMPARE(p.ws().record.SaveFlag, 1);
    QCOMPARE(f.txtFileOrg_Man->text(), QString("6"));
    QVERIFY(!QFile::exists(p.path("data/M0000005_dat.csv")));
    QCOMPARE(QFile::exists(p.path("data/RUN0000001_dat.csv")), autoToo);
    QCOMPARE(f.txtFileOrg->text(), QString(autoToo ? "2" : "1"));

    // "Save" writes the measurement under the advanced manual number.
    f.Command2->click();
    QVERIFY(QFile::exists(p.path("data/M0000006_dat.csv")));
    QCOMPARE(LineCount(p.path("data/M0000006_csv.csv")), 2 + 50);
    QVERIFY(!f.isVisible());
    QCOMPARE(f.txtFileOrg_Man->text(), QString("6"));
  }

  void failedAutomaticSaveKeepsTheMeasurement() {
    Program p;
    ui::Form1& w = p.window();
    p.Prepare();
    w.FileOption().txtFileDir->setText(p.stored("nowhere"));
    w.chkAutoDataSave->setChecked(true);
    p.Run();  // stops after the cycle whose save failed

    QCOMPARE(p.cycles, 1);
    const QString notice = p.notice("Automatic save failed");
    QVERIFY2(notice.contains("RUN0000001"), qPrintable(notice));
    QCOMPARE(w.FileOption().txtFileOrg->text(), QString("1"));
    QVERIFY(w.FileOption().isVisible());
    // Once the directory exists, File Option saves the same measurement under that number.
    QDir().mkpath(p.path("nowhere"));
    w.FileOption().Command2->click();
    QCOMPARE(LineCount(p.path("nowhere/RUN0000001_csv.csv")), 2 + 50);
  }

  void startDuringARunNestsAndBothEnd() {
    Program p;
    ui::Form1& w = p.window();
    p.Prepare();
    int deepest = 0;
    bool nested = false;
    bool innerReturned = false;
    connect(&w, &ui::Form1::cycleFinished, this,
            [&] { deepest = std::max(deepest, w.measuring()); });
    QTimer f4;
    f4.setInterval(5);
    connect(&f4, &QTimer::timeout, this, [&] {
      if (nested || p.cycles < 1) return;
      nested = true;
      w.menuStart->trigger();  // F4 from the loop's event point
      innerReturned = true;
    });
    f4.start();
    p.Run(3);

    QVERIFY(innerReturned);
    QCOMPARE(deepest, 2);
    QCOMPARE(w.measuring(), 0);
    QVERIFY(w.cmdStart->isEnabled());
  }

  void stopDuringSamplingAbandonsTheCycle() {
    Program p;
    ui::Form1& w = p.window();
    p.Prepare("2000");
    w.chkAutoDataSave->setChecked(true);
    // Viewing a saved measurement while sampling would mix two records: it is refused.
    QTimer::singleShot(20, &w, [&w] { w.DataView().Command1->click(); });
    // F5 stops, as the Stop button does.
    QTimer f5;
    f5.setInterval(5);
    connect(&f5, &QTimer::timeout, this, [&] {
      if (p.ws().record.SampleNo >= 500) w.menuMeasure->trigger();
    });
    f5.start();
    p.Run();

    QCOMPARE(p.cycles, 0);
    QVERIFY(p.ws().record.SampleNo >= 500);
    QVERIFY(p.ws().record.SampleNo < 2000);
    QVERIFY(!QFile::exists(p.path("data/RUN0000001_dat.csv")));
    // The bar was looked at while sampling and shows how far the cycle got.
    QVERIFY(w.progressSamples->value() > 0);
    QCOMPARE(w.progressSamples->maximum(), 2000);
    QVERIFY(!p.notice("stop the measurement before viewing").isEmpty());
    QCOMPARE(w.shape_Timer->colour(), kLampRed);
    // The record now mixes the stopped cycle with the one before: File Option will not
    // write it, until a whole cycle has been measured again.
    w.FileOption().Command2->click();
    QVERIFY(!p.notice("was not saved").isEmpty());
    QVERIFY(!QFile::exists(p.path("data/RUN0000001_dat.csv")));
    w.txtDataNum->setText("50");
    w.chkAutoDataSave->setChecked(false);
    p.Run(1);
    w.FileOption().Command2->click();
    QVERIFY(QFile::exists(p.path("data/RUN0000001_dat.csv")));
  }
};

}  // namespace velquor

QTEST_MAIN(velquor::MeasurementRunTest)
#include "measurement_run_test.moc"
