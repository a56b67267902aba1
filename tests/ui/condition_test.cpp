// The linked condition boxes as typed into the window, refusing Start under a condition no
// measurement can be taken under, and the F1 to F3 keys.
#include <QtTest>

#include "measure/ui/lamp.h"
#include "program_fixture.h"

using velquor::testing::Program;

namespace velquor {

class ConditionTest : public QObject {
  Q_OBJECT

 private slots:
  void linkedBoxes() {
    Program p;
    ui::Form1& w = p.window();
    w.txtTimerInterval->setText("20");
    w.txtDataNum->setText("100");
    QCOMPARE(w.txtSampTime->text(), QString("2"));
    w.txtSampTime->setText("2.5");
    QCOMPARE(w.txtDataNum->text(), QString("125"));
    QCOMPARE(w.txtSampTime->text(), QString("2.5"));
    QCOMPARE(p.ws().record.DataNum, 125.0f);
    QCOMPARE(p.ws().record.MeasTime, 2.5);
    // Typing key by key goes through every intermediate text without failing.
    w.txtTimerInterval->selectAll();
    QTest::keyClicks(w.txtTimerInterval, "33");
    QCOMPARE(w.txtSampTime->text(), QString("4.125"));
    QCOMPARE(w.txtDataNum->text(), QString("125"));
    QCOMPARE(p.ws().record.SampInterval, 33.0);
  }

  void refusesWhatCannotBeMeasured_data() {
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("marked");
    QTest::addColumn<QString>("says");
    QTest::newRow("count above the record") << "txtDataNum"
                                            << "2500"
                                            << "txtDataNum"
                                            << "2 to 2000";
    QTest::newRow("one sample") << "txtDataNum"
                                << "1"
                                << "txtDataNum"
                                << "2 to 2000";
    // The rules run on: no sampling time, so a count of 0.
    QTest::newRow("count not a number") << "txtDataNum"
                                        << "many"
                                        << "txtDataNum"
                                        << "Data Number 0 cannot";
    QTest::newRow("interval 0") << "txtTimerInterval"
                                << "0"
                                << "txtTimerInterval"
                                << "at least 1 msec";
    QTest::newRow("interval cleared") << "txtTimerInterval"
                                      << ""
                                      << "txtTimerInterval"
                                      << "is not a number";
    QTest::newRow("time not a number") << "txtSampTime"
                                       << "abc"
                                       << "txtSampTime"
                                       << "\"abc\" is not a number";
    QTest::newRow("time giving half a sample") << "txtSampTime"
                                               << "2.01"
                                               << "txtDataNum"
                                               << "whole number";
  }
  void refusesWhatCannotBeMeasured() {
    QFETCH(QString, box);
    QFETCH(QString, text);
    QFETCH(QString, marked);
    QFETCH(QString, says);
    Program p;
    ui::Form1& w = p.window();
    QLineEdit* typed = p.find<QLineEdit>(&w, box);
    const QString before = typed->text();
    typed->setText(text);
    for (const char* name : {"txtTimerInterval", "txtDataNum", "txtSampTime"}) {
      QCOMPARE(p.find<QLineEdit>(&w, name)->property("conditionError").toBool(), marked == name);
    }
    QVERIFY2(w.noticeLine->text().contains(says), qPrintable(w.noticeLine->text()));
    // The record keeps the condition it had; no sample is taken under the new one.
    QCOMPARE(p.ws().record.DataNum, 100.0f);
    QCOMPARE(p.ws().record.SampInterval, 20.0);
    int cycles = 0;
    connect(&w, &ui::Form1::cycleFinished, this, [&cycles] { ++cycles; });
    w.cmdStart->click();
    QCOMPARE(w.measuring(), 0);
    QCOMPARE(cycles, 0);
    QCOMPARE(p.ws().record.SampleNo, 0);
    QVERIFY(p.notice("Start refused").contains(says));
    QCOMPARE(w.shape_Timer->colour(), kLampRed);
    // Putting the box right lifts the mark and the remark.
    typed->setText(before);
    QVERIFY(!p.find<QLineEdit>(&w, marked)->property("conditionError").toBool());
    QVERIFY(!w.noticeLine->text().contains(says));
  }

  void saveModeCycleFollowsSaveMode() {
    Program p;
    ui::Form1& w = p.window();
    w.show();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    // Clicking a box changes its lamp but not the cycle's position.
    w.chkAutoDataSave->click();
    QCOMPARE(w.shape_AutoSave->colour(), kLampGreen);
    QCOMPARE(w.SaveMode, 0);
    struct Step {
      bool autoSave, manSave;
      int mode;
    };
    const Step steps[] = {{false, true, 1}, {true, false, 2}, {true, true, 3}, {false, false, 0}};
    for (const Step& s : steps) {
      QTest::keyClick(&w, Qt::Key_F1);
      QCOMPARE(w.chkAutoDataSave->isChecked(), s.autoSave);
      QCOMPARE(w.chkManDataSave->isChecked(), s.manSave);
      QCOMPARE(w.shape_AutoSave->colour(), s.autoSave ? kLampGreen : kLampRed);
      QCOMPARE(w.shape_ManSave->colour(), s.manSave ? kLampGreen : kLampRed);
      QCOMPARE(w.SaveMode, s.mode);
    }
  }

  void dataNumberKeys_data() {
    QTest::addColumn<QString>("from");
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("to");
    QTest::newRow("F3 from 150") << "150" << int(Qt::Key_F3) << "200";
    QTest::newRow("F3 from 2000") << "2000" << int(Qt::Key_F3) << "2000";
    QTest::newRow("F3 from 3") << "3" << int(Qt::Key_F3) << "3";
    QTest::newRow("F2 from 100") << "100" << int(Qt::Key_F2) << "50";
    QTest::newRow("F2 from 5") << "5" << int(Qt::Key_F2) << "5";
    // A refused count is stepped from as it stands in the box.
    QTest::newRow("F2 from 2500") << "2500" << int(Qt::Key_F2) << "1600";
  }
  void dataNumberKeys() {
    QFETCH(QString, from);
    QFETCH(int, key);
    QFETCH(QString, to);
    Program p;
    ui::Form1& w = p.window();
    w.show();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    w.txtDataNum->setText(from);
    QTest::keyClick(&w, static_cast<Qt::Key>(key));
    QCOMPARE(w.txtDataNum->text(), to);
    // The sampling time follows the new count.
    QCOMPARE(w.txtSampTime->text(), QString::number(to.toDouble() * 0.02));
  }
};

}  // namespace velquor

QTEST_MAIN(velquor::ConditionTest)
#include "condition_test.moc"
