// Real measurement runs on the simulated rig through the window: cycles until Stop with
// automatic saving, the manual hand-over, a save that fails, a Start nested in a run.
#include <QFile>
#include <QTimer>
#include <QtTest>
#include <functional>

#include "files/ui/data_view.h"
#include "files/ui/file_option.h"
#include "measure/ui/lamp.h"
#include "program_fixture.h"

using velquor::testing::Program;

namespace velquor {
namespace {

// Polls while a run goes on (its ticks are served at the loop's event point) and presses
// Stop when `done` says so, or after 20 s whatever happens.
class Stopper {
 public:
  Stopper(ui::Form1& w, std::function<bool()> done) : w_(w), done_(std::move(done)) {
    poll_.setInterval(5);
    QObject::connect(&poll_, &QTimer::timeout, [this] {
      if (done_()) w_.cmdStop->click();
    });
    poll_.start();
    guard_.setSingleShot(true);
    QObject::connect(&guard_, &QTimer::timeout, [this] { w_.StopAction(); });
    guard_.start(20000);
  }

 private:
  ui::Form1& w_;
  std::function<bool()> done_;
  QTimer poll_;
  QTimer guard_;
};

int LineCount(const QString& path) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) return -1;
  return f.readAll().count("\r\n");
}

// A short fast condition and the naming of both sets inside the test's directory.
void Prepare(Program& p, ui::Form1& w) {
  w.txtTimerInterval->setText("1");
  w.txtDataNum->setText("50");
  QDir().mkpath(p.path("data"));
  ui::Form4& f = w.FileOption();
  f.txtFileDir->setText(p.stored("data"));
  f.txtFileHead->setText("RUN");
  f.txtFileOrg->setText("1");
  f.txtFileDir_Man->setText(p.stored("data"));
  f.txtFileHead_Man->setText("M");
  f.txtFileOrg_Man->setText("5");
}

}  // namespace

class MeasurementRunTest : public QObject {
  Q_OBJECT

 private slots:
  void automaticSaveNumbersEveryCycleUntilStop() {
    Program p;
    ui::Form1& w = p.window();
    Prepare(p, w);
    w.chkAutoDataSave->setChecked(true);
    int cycles = 0;
    connect(&w, &ui::Form1::cycleFinished, this, [&cycles] { ++cycles; });
    Stopper stop(w, [&cycles] { return cycles >= 3; });
    w.cmdStart->click();

    QVERIFY(cycles >= 3);
    for (int k = 1; k <= cycles; ++k) {
      const QString stem = p.path("data/RUN%1").arg(k, 7, 10, QChar('0'));
      QVERIFY2(QFile::exists(stem + "_dat.csv"), qPrintable(stem));
      QCOMPARE(LineCount(stem + "_csv.csv"), 2 + 50);
    }
    QVERIFY(!QFile::exists(p.path("data/RUN%1_dat.csv").arg(cycles + 1, 7, 10, QChar('0'))));
    QCOMPARE(w.FileOption().txtFileOrg->text(), QString::number(cycles + 1));
    QCOMPARE(w.FileOption().txtFileDat->text(),
             p.stored("data") + QString("\\RUN%1_dat.csv").arg(cycles + 1, 7, 10, QChar('0')));
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
    Prepare(p, w);
    w.chkManDataSave->setChecked(true);
    w.chkAutoDataSave->setChecked(autoToo);
    int cycles = 0;
    connect(&w, &ui::Form1::cycleFinished, this, [&cycles] { ++cycles; });
    Stopper guard(w, [] { return false; });
    w.cmdStart->click();  // the hand-over ends the run by itself

    ui::Form4& f = w.FileOption();
    QCOMPARE(cycles, 1);
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
    Prepare(p, w);
    w.FileOption().txtFileDir->setText(p.stored("nowhere"));
    w.chkAutoDataSave->setChecked(true);
    int cycles = 0;
    connect(&w, &ui::Form1::cycleFinished, this, [&cycles] { ++cycles; });
    Stopper guard(w, [] { return false; });
    w.cmdStart->click();  // stops after the cycle whose save failed

    QCOMPARE(cycles, 1);
    const QString notice = p.notice("Automatic save failed");
    QVERIFY2(notice.contains("RUN0000001"), qPrintable(notice));
    QCOMPARE(w.FileOption().txtFileOrg->text(), QString("1"));
    QVERIFY(w.FileOption().isVisible());
    QCOMPARE(p.ws().record.DataNum, 50.0f);

    // Once the directory exists, File Option saves the same measurement under that number.
    QDir().mkpath(p.path("nowhere"));
    w.FileOption().Command2->click();
    QCOMPARE(LineCount(p.path("nowhere/RUN0000001_csv.csv")), 2 + 50);
  }

  void startDuringARunNestsAndBothEnd() {
    Program p;
    ui::Form1& w = p.window();
    Prepare(p, w);
    int cycles = 0;
    int deepest = 0;
    connect(&w, &ui::Form1::cycleFinished, this, [&] {
      ++cycles;
      deepest = std::max(deepest, w.measuring());
    });
    bool nested = false;
    bool innerReturned = false;
    QTimer f4;
    f4.setInterval(5);
    connect(&f4, &QTimer::timeout, this, [&] {
      if (nested || cycles < 1) return;
      nested = true;
      w.menuStart->trigger();  // F4 from the loop's event point
      innerReturned = true;
    });
    f4.start();
    Stopper stop(w, [&cycles] { return cycles >= 3; });
    w.cmdStart->click();

    QVERIFY(nested);
    QVERIFY(innerReturned);
    QCOMPARE(deepest, 2);
    QCOMPARE(w.measuring(), 0);
    QVERIFY(w.cmdStart->isEnabled());
    QVERIFY(!w.cmdStop->isEnabled());
  }

  void stopDuringSamplingAbandonsTheCycle() {
    Program p;
    ui::Form1& w = p.window();
    Prepare(p, w);
    w.txtDataNum->setText("2000");
    w.chkAutoDataSave->setChecked(true);
    int cycles = 0;
    connect(&w, &ui::Form1::cycleFinished, this, [&cycles] { ++cycles; });
    // Viewing a saved measurement while sampling would mix two records: it is refused.
    QTimer view;
    view.setSingleShot(true);
    connect(&view, &QTimer::timeout, this, [&w] { w.DataView().Command1->click(); });
    view.start(20);
    // F5 stops, as the Stop button does.
    QTimer f5;
    f5.setInterval(5);
    connect(&f5, &QTimer::timeout, this, [&] {
      if (p.ws().record.SampleNo >= 500) w.menuMeasure->trigger();
    });
    f5.start();
    Stopper guard(w, [] { return false; });
    w.cmdStart->click();

    QCOMPARE(cycles, 0);
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
    connect(&w, &ui::Form1::cycleFinished, &w, &ui::Form1::StopAction);
    w.cmdStart->click();
    w.FileOption().Command2->click();
    QVERIFY(QFile::exists(p.path("data/RUN0000001_dat.csv")));
  }

  void closingTheWindowEndsTheRunAndKeepsTheSettings() {
    Program p;
    ui::Form1& w = p.window();
    Prepare(p, w);
    w.show();
    Stopper close(w, [&p, &w] {
      if (p.ws().record.SampleNo >= 10) w.close();
      return false;
    });
    w.cmdStart->click();
    QCOMPARE(w.measuring(), 0);
    QVERIFY(!w.isVisible());
    QVERIFY(QFile::exists(p.path("Velquor.ini")));
    // The devices are left open.
    QCOMPARE(w.shape_AD->colour(), kLampGreen);
  }
};

}  // namespace velquor

QTEST_MAIN(velquor::MeasurementRunTest)
#include "measurement_run_test.moc"
