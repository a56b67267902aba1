// The linked condition boxes as typed into the window, refusing Start under a condition no
// measurement can be taken under, and the F1 to F3 keys.
#include "measure/ui/lamp.h"
#include "program_fixture.h"

using namespace Qt::StringLiterals;
using velquor::testing::Program;

namespace velquor {

class ConditionTest : public QObject {
  Q_OBJECT

 private slots:
  void refusesWhatCannotBeMeasured_data() {
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("marked");
    QTest::addColumn<QString>("says");
    QTest::newRow("count above the record")
        << u"txtDataNum"_s << u"2500"_s << u"txtDataNum"_s << u"2 to 2000"_s;
    QTest::newRow("time giving half a sample")
        << u"txtSampTime"_s << u"2.01"_s << u"txtDataNum"_s << u"whole number"_s;
  }
  void refusesWhatCannotBeMeasured() {
    QFETCH(QString, box);
    QFETCH(QString, text);
    QFETCH(QString, marked);
    QFETCH(QString, says);
    Program p;
    ui::Form1& w = p.window();
    auto* typed = w.findChild<QLineEdit*>(box);
    QVERIFY(typed);
    const QString before = typed->text();
    typed->setText(text);
    for (QLineEdit* b : {w.txtTimerInterval, w.txtDataNum, w.txtSampTime}) {
      QCOMPARE(b->property("conditionError").toBool(), b->objectName() == marked);
    }
    QVERIFY2(w.noticeLine->text().contains(says), qPrintable(w.noticeLine->text()));
    // The record keeps the condition it had; no sample is taken under the new one.
    QCOMPARE(p.ws().record.DataNum, 100.0f);
    QCOMPARE(p.ws().record.SampInterval, 20.0);
    w.cmdStart->click();
    QCOMPARE(p.cycles, 0);
    QVERIFY(p.notice("Start refused").contains(says));
    QCOMPARE(w.shape_Timer->colour(), kLampRed);
    // Putting the box right lifts the mark and the remark.
    typed->setText(before);
    QVERIFY(!w.findChild<QLineEdit*>(marked)->property("conditionError").toBool());
    QVERIFY(!w.noticeLine->text().contains(says));
  }

  void functionKeys() {
    Program p;
    ui::Form1& w = p.window();
    w.show();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    // F3 and F2 step from the count in the box, on the ladder or off it; the sampling time
    // follows. From, after F3, after F2:
    const char* ladder[][3] = {{"3", "3", "3"}, {"150", "200", "100"}, {"2500", "2000", "1600"}};
    for (const auto& [from, up, down] : ladder) {
      for (const auto& [key, to] : {std::pair{Qt::Key_F3, up}, std::pair{Qt::Key_F2, down}}) {
        w.txtDataNum->setText(from);
        QTest::keyClick(&w, key);
        QCOMPARE(w.txtDataNum->text(), QString(to));
        QCOMPARE(w.txtSampTime->text(), QString::number(QString(to).toDouble() * 0.02));
      }
    }
  }
};

}  // namespace velquor

QTEST_MAIN(velquor::ConditionTest)
#include "condition_test.moc"
