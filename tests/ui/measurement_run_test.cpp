// Real measurement runs through the window: cycles saved automatically until the card goes,
// the hand-over to File Option (asked for, or after a failed save), a Start refused during a
// run, F5 from another screen, and the Text Screen during a run.
#include <QMessageBox>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTableWidget>

#include "analysis/ui/calc_results.h"
#include "analysis/ui/feedback_screen.h"
#include "analysis/ui/feedback_tile.h"
#include "analysis/ui/pushes_screen.h"
#include "calibration/ui/calibration_screen.h"
#include "common/text_file.h"
#include "daq/ui/card_setting.h"
#include "daq/ui/text_screen.h"
#include "file_text.h"
#include "files/calibration_file.h"
#include "files/settings_file.h"
#include "files/ui/data_view.h"
#include "measure/ui/lamp.h"
#include "plot/ui/picture_base.h"
#include "program_fixture.h"

using namespace Qt::StringLiterals;
using velquor::testing::LineCount;
using velquor::testing::Program;
using velquor::testing::ReadText;
using velquor::testing::WriteText;

namespace velquor {

class MeasurementRunTest : public QObject {
  Q_OBJECT

 private slots:
  // Every cycle is saved under the next free number until the card is unplugged in the
  // fourth: that cycle is neither analysed nor saved, both devices are closed and their lamps
  // go red.
  void automaticSaveNumbersEveryCycleUntilTheCardIsGone() {
    Program p(true);
    ui::Form1& w = p.window();
    p.Prepare();
    // A pair of an earlier run stands at number 2: it is passed over, never replaced.
    WriteText(p.path("data/RUN0000002_dat.csv"), "earlier");
    w.chkAutoDataSave->setChecked(true);
    p.scripted().read_code = daq_code::kDeviceGone;
    p.scripted().good_reads = 170;
    QCOMPARE(w.shape_AD->colour(), kLampGreen);
    p.Run();

    QCOMPARE(p.cycles, 3);
    for (const char* k : {"1", "3", "4"}) {
      const QString stem = p.path("data/RUN000000") + k;
      QVERIFY2(QFile::exists(stem + "_dat.csv"), qPrintable(stem));
      QCOMPARE(LineCount(stem + "_csv.csv"), 2 + 50);
    }
    QCOMPARE(ReadText(p.path("data/RUN0000002_dat.csv")), QByteArray("earlier"));
    QVERIFY(!QFile::exists(p.path("data/RUN0000002_csv.csv")));
    QVERIFY(p.notice("RUN0000002 exists; saved as RUN0000003").contains("RUN0000003_dat.csv"));
    QVERIFY(!QFile::exists(p.path("data/RUN0000005_csv.csv")));
    QCOMPARE(w.FileOption().txtFileOrg->text(), QString("5"));
    QCOMPARE(w.FileOption().txtFileDat->text(), p.path("data/RUN0000005_dat.csv"));
    // Each automatic save says where it went, as this system writes paths.
    QCOMPARE(p.notice("Saved "), "Saved " + p.path("data/RUN0000004_dat.csv") + " and " +
                                     p.path("data/RUN0000004_csv.csv"));
    // The number is in the settings file already, before the program ends.
    QCOMPARE(LoadSettings(ui::FromQ(p.path(kSettingsFileName))).values.txtFileOrg,
             std::string("5"));
    QVERIFY(!p.notice("Sampling stopped at sample 21 of cycle 4: the A/D device").isEmpty());
    QVERIFY(!p.notice("open them again on Card Setting").isEmpty());
    const auto& calls = p.scripted().calls;
    QVERIFY(std::find(calls.begin(), calls.end(), "AioClose 11") != calls.end());
    QVERIFY(std::find(calls.begin(), calls.end(), "DioClose 22") != calls.end());
    QCOMPARE(w.shape_AD->colour(), kLampRed);
    QCOMPARE(w.shape_DIO->colour(), kLampRed);
    QCOMPARE(w.shape_Timer->colour(), kLampRed);
    QCOMPARE(w.measuring(), 0);
    QVERIFY(w.cmdStart->isEnabled());
  }

  // A trial of a set length ends by itself with the cycle that reaches it; F6 from another
  // screen places a marker while it runs (and says why not when nothing runs); the trial is
  // written beside its first pair, and the length is kept in the settings.
  void aTrialOfASetLengthWithMarkers() {
    Program p(true);
    ui::Form1& w = p.window();
    p.Prepare();
    w.chkAutoDataSave->setChecked(true);
    w.txtTrialLength->setText("0.12");  // 120 samples at 1 ms: three cycles of 50
    w.menuMarker->trigger();
    QVERIFY(!p.notice("No marker placed").isEmpty());
    const auto marked = QObject::connect(&w, &ui::Form1::cycleFinished, &w, [&w] {
      w.CalcResults().activateWindow();
      w.menuMarker->trigger();
    });
    p.Run();
    QObject::disconnect(marked);

    QCOMPARE(p.cycles, 3);
    QVERIFY(!p.notice("Marker 1 at sample").isEmpty());
    // The trial's last step is written on the save worker after the run has ended.
    QTRY_VERIFY(!p.notice("Trial saved: ").isEmpty());
    const QByteArray json = ReadText(p.path("data/RUN0000001_trial.json"));
    QVERIFY2(json.contains(R"("complete":true)"), json.constData());
    QVERIFY(json.contains(R"("samples":150,)"));
    QVERIFY(json.contains(R"({"number":1,"sample":)"));
    QCOMPARE(ReadText(p.path("data/RUN0000001_trial.csv")).count('\n'), 151);
    QVERIFY(QFile::exists(p.path("data/RUN0000001_trial_pushes.csv")));
    QCOMPARE(LoadSettings(ui::FromQ(p.path(kSettingsFileName))).values.txtTrialLength,
             std::string("0.12"));
    // The ended trial's torque over its whole length is in the Pushes screen's time graph.
    ui::Form8& pushes = w.Pushes();
    QVERIFY(pushes.optTrial->isChecked());
    QCOMPARE(pushes.Picture_time->box(AxisText::kXmax)->text(), QString("0.15"));
    QVERIFY(!pushes.Picture_time->pctFig()->recording().commands().empty());
  }

  // One cycle, then File Option takes over: asked for (the manual set), or after a failed
  // automatic save, which stops the run and keeps the measurement. It says which measurement
  // waits and which set Save writes it with, offers a number whose pair is free (M0000006
  // may stand before the run), and puts the focus on that set's file name. Save then meets
  // no question and writes the kept measurement; a rescue moves the automatic number on, as
  // the automatic save would have.
  void fileOptionTakesOverAfterOneCycle_data() {
    QTest::addColumn<bool>("automatic");
    QTest::addColumn<bool>("manual");
    QTest::addColumn<bool>("m6Taken");  // data\M0000006 exists before the run
    QTest::addColumn<QString>("autoDir");
    QTest::addColumn<QString>("autoOrg");       // the automatic number afterwards
    QTest::addColumn<QString>("manOrg");        // the manual number afterwards
    QTest::addColumn<QString>("set");           // the set Save writes with
    QTest::addColumn<QString>("saveAs");        // what File Option's Save then writes
    QTest::addColumn<QString>("autoOrgAfter");  // the automatic number after that Save
    QTest::newRow("automatic and manual save")
        << true << true << false << u"data"_s << u"2"_s << u"6"_s << u"Manual Save"_s
        << u"data/M0000006"_s << u"2"_s;
    QTest::newRow("hand-over, M0000006 taken")
        << false << true << true << u"data"_s << u"1"_s << u"7"_s << u"Manual Save"_s
        << u"data/M0000007"_s << u"1"_s;
    QTest::newRow("automatic save fails")
        << true << false << true << u"nowhere"_s << u"1"_s << u"5"_s << u"Auto Save"_s
        << u"nowhere/RUN0000001"_s << u"2"_s;
  }
  void fileOptionTakesOverAfterOneCycle() {
    QFETCH(bool, automatic);
    QFETCH(bool, manual);
    QFETCH(bool, m6Taken);
    QFETCH(QString, autoDir);
    QFETCH(QString, autoOrg);
    QFETCH(QString, manOrg);
    QFETCH(QString, set);
    QFETCH(QString, saveAs);
    QFETCH(QString, autoOrgAfter);
    Program p;
    ui::Form1& w = p.window();
    ui::Form4& f = w.FileOption();
    p.Prepare();
    f.txtFileDir->setText(p.stored(autoDir));
    if (m6Taken) WriteText(p.path("data/M0000006_dat.csv"), "earlier");
    w.chkAutoDataSave->setChecked(automatic);
    w.chkManDataSave->setChecked(manual);
    p.Run();  // the hand-over, or the failed save, ends the run by itself

    QCOMPARE(p.cycles, 1);
    QVERIFY(f.isVisible());
    QCOMPARE(p.ws().record.SaveFlag, manual ? 1 : 0);
    QCOMPARE(f.txtFileOrg->text(), autoOrg);
    QCOMPARE(f.txtFileOrg_Man->text(), manOrg);
    QCOMPARE(QFile::exists(p.path("data/RUN0000001_dat.csv")), automatic && autoDir == "data");
    const QString failed = p.notice("Automatic save failed");
    QVERIFY2(failed.contains("RUN0000001") == (autoDir == "nowhere"), qPrintable(failed));
    const QString says = f.lblWaiting->text();
    const QRegularExpression waiting(
        "^Waiting: cycle of \\d\\d:\\d\\d:\\d\\d, 50 samples at 1 ms, not saved\n");
    QVERIFY2(says.contains(waiting), qPrintable(says));
    const QString file = p.path(saveAs + "_dat.csv");
    const QString stem = saveAs.section('/', 1);
    QVERIFY2(
        says.endsWith("Save writes it with the " + set + " set as " + stem + " (" + file + ")"),
        qPrintable(says));
    QCOMPARE(f.focusWidget(), manual ? f.txtFileHead_Man : f.txtFileHead);

    // "Save" writes the kept measurement (once its directory exists) under the number shown.
    QDir().mkpath(p.path(autoDir));
    f.Command2->click();
    QVERIFY(f.PendingQuestion() == nullptr);
    QVERIFY(!f.Command2->isEnabled());  // greyed while the worker writes
    QTRY_VERIFY(!f.Saving());
    QVERIFY(QFile::exists(file));
    QCOMPARE(LineCount(p.path(saveAs + "_csv.csv")), 2 + 50);
    QVERIFY(!f.isVisible());
    QVERIFY2(!f.lblWaiting->text().contains("Waiting"), qPrintable(f.lblWaiting->text()));
    if (m6Taken) QCOMPARE(ReadText(p.path("data/M0000006_dat.csv")), QByteArray("earlier"));
    QCOMPARE(f.txtFileOrg_Man->text(), manOrg);
    QCOMPARE(f.txtFileOrg->text(), autoOrgAfter);
    QCOMPARE(ui::ToQ(LoadSettings(ui::FromQ(p.path(kSettingsFileName))).values.txtFileOrg),
             autoOrgAfter);
  }

  // "Save" onto a taken name asks, without holding up the program: No keeps the old pair and
  // the screen, Yes replaces it. A header with "," is marked and never saved, nor is a note
  // holding ",", a number that is no whole number or a header naming other folders.
  void fileOptionAsksBeforeReplacing() {
    Program p;
    ui::Form1& w = p.window();
    ui::Form4& f = w.FileOption();
    p.Prepare();
    w.chkManDataSave->setChecked(true);
    p.Run();
    WriteText(p.path("data/M0000006_dat.csv"), "earlier");

    f.txtFileHead_Man->setText("M,1");
    QVERIFY(f.txtFileHead_Man->property("conditionError").toBool());
    f.Command2->click();
    QTRY_VERIFY(!f.Saving());
    QVERIFY(p.notice("not saved").contains("would shift the fields"));
    QVERIFY(f.isVisible());
    f.txtFileHead_Man->setText("M");
    QVERIFY(!f.txtFileHead_Man->property("conditionError").toBool());
    // A note, number or header the summary row or the file name cannot hold: the same.
    const std::pair<QLineEdit*, QString> wrong[] = {
        {f.txtNote_Man, "manual, subject A"},
        {f.txtFileOrg_Man, "abc"},
        {f.txtFileHead_Man, "..\\..\\ESC"},
    };
    for (const auto& [box, text] : wrong) {
      const QString was = box->text();
      box->setText(text);
      QVERIFY2(box->property("conditionError").toBool(), qPrintable(text));
      f.Command2->click();
      QTRY_VERIFY(!f.Saving());
      QVERIFY2(p.notice("not saved").contains("\"" + text + "\""), qPrintable(text));
      QVERIFY(f.isVisible());
      box->setText(was);
      QVERIFY(!box->property("conditionError").toBool());
    }
    f.txtNote->setText("a\"b");
    QVERIFY(f.txtNote->property("conditionError").toBool());
    f.txtNote->setText("");

    for (const QMessageBox::StandardButton answer : {QMessageBox::No, QMessageBox::Yes}) {
      f.Command2->click();
      QMessageBox* question = f.PendingQuestion();
      QVERIFY(question != nullptr);
      QCOMPARE(question->windowModality(), Qt::WindowModal);
      QVERIFY(question->text().contains("M0000006_csv.csv"));
      QTRY_VERIFY(question->isVisible());  // open() returned at once: the loop goes on
      question->button(answer)->click();
      QTRY_VERIFY(f.PendingQuestion() == nullptr);
      QTRY_VERIFY(!f.Saving());
      const bool kept = answer == QMessageBox::No;
      QCOMPARE(ReadText(p.path("data/M0000006_dat.csv")) == "earlier", kept);
      QCOMPARE(f.isVisible(), kept);
    }
    QVERIFY(p.notice("Replaced").contains("M0000006_dat.csv"));
    QCOMPARE(LineCount(p.path("data/M0000006_csv.csv")), 2 + 50);
  }

  // A port the DIO device does not have stops the run at its first read and turns the DIO
  // lamp red; once Dio Open opens the device with a port it has, the lamp is green again and
  // the notice is gone from the notice line.
  void aRefusedPortNoTurnsTheDioLampRed() {
    Program p;
    ui::Form1& w = p.window();
    ui::Form2& card = w.CardSetting();
    p.Prepare();
    card.PortNo3Inf->setText("7");
    card.OpenDioCard();
    p.Run();
    QCOMPARE(p.cycles, 0);
    QCOMPARE(w.shape_DIO->colour(), kLampRed);
    QVERIFY2(w.noticeLine->text().contains("DIO device"), qPrintable(w.noticeLine->text()));
    card.PortNo3Inf->setText("2");
    card.OpenDioCard();
    QCOMPARE(w.shape_DIO->colour(), kLampGreen);
    QCOMPARE(w.noticeLine->text(), QString());
  }

  // Neither a second Start nor closing a device may reach the driver while the run's thread
  // reads it.
  void startAndCloseDuringARunAreRefused() {
    Program p(true);
    ui::Form1& w = p.window();
    p.Prepare();
    connect(&w, &ui::Form1::cycleFinished, this, [&] {
      if (p.cycles != 1) return;
      w.menuStart->trigger();  // F4 while the run goes on
      w.CardSetting().CloseAioCard();
    });
    p.Run(3);

    QCOMPARE(p.cycles, 3);
    // Three cycles at 1 ms, one word on why the graphs show means.
    QCOMPARE(w.Notices().entries().filter("one encoder count in a sample is").size(), 1);
    QVERIFY(!p.notice("Start refused: a measurement is already running").isEmpty());
    QVERIFY(!p.notice("the devices are in use by the running measurement").isEmpty());
    const auto& calls = p.scripted().calls;
    QCOMPARE(std::count(calls.begin(), calls.end(), "AioOpen 30 1"), 1);
    QCOMPARE(std::count(calls.begin(), calls.end(), "AioClose 11"), 0);
    QCOMPARE(w.shape_AD->colour(), kLampGreen);
    QCOMPARE(w.measuring(), 0);
    QVERIFY(w.cmdStart->isEnabled());
  }

  // The Text Screen shows each port byte in hexadecimal and decimal, and the voltages: read
  // from the devices, and during a run the run's latest sample (the run's thread alone reads
  // the devices then), as Calibration does. The graphs repaint 30 times a second meanwhile;
  // how late the samples came is reported, not checked, as a shared machine varies.
  void monitorScreensShowTheRunWhileTheGraphsRepaint() {
    Program p(true);
    ui::Form1& w = p.window();
    p.Prepare("500");  // long enough for both screens' timers under a sanitizer
    p.scripted().ports = {0x34, 0x12, 0xB7};
    p.scripted().codes = {4095, 0};
    ui::Form3& f = w.TextScreen();
    auto shown = [&f] {
      QStringList got;
      for (const auto& boxes : {f.DataInf, f.txtData}) {
        for (QLineEdit* box : boxes) got << box->text();
      }
      return (got << f.Data3_txt->text() << f.Data4_txt->text()).join(' ');
    };
    const QString expected = "34 12 B7 52 18 183 9.995117 -10";
    f.MonitorRead();
    QCOMPARE(shown(), expected);
    ui::Form5& cal = w.Calibration();
    for (ui::MonitorForm* screen : std::initializer_list<ui::MonitorForm*>{&f, &cal}) {
      ui::ShowScreen(screen);
      screen->TimerOn();
    }
    QTimer paint;
    connect(&paint, &QTimer::timeout, this, [&w] {
      for (auto* frame : w.Picture_base) frame->repaint();
    });
    paint.start(33);
    int late = 0;
    double worst = 0;
    connect(&w, &ui::Form1::cycleFinished, this, [&] {
      late += w.lastTiming().late;
      worst = std::max(worst, w.lastTiming().max_ms);
      if (p.cycles == 1) {  // from here on only the run can fill them
        f.Data3_txt->clear();
        f.txtData[0]->clear();
        cal.txtVolt[0]->clear();
      }
    });
    p.Run(3);
    QCOMPARE(p.cycles, 3);
    QCOMPARE(shown(), expected);
    QCOMPARE(cal.txtVolt[0]->text(), QString("9.995117"));
    qInfo("3 cycles of 500 samples at 1 ms while repainting: %d late, worst %.3f ms", late, worst);
  }

  // The Feedback screen follows the trial push by push, and its targets go to the settings.
  void feedbackFollowsTheTrialAndKeepsItsTargets() {
    Program p;
    // The gauges calibrated as the simulated rig's are, so its pushes have torque.
    Calibration cal = Calibration::DesignTime();
    cal.Ka1 = {20, 20};
    QVERIFY(
        WriteShiftJisFile(ui::FromQ(p.path(kCalibrationFileName)), CalibrationText(cal).text).ok());
    ui::Form1& w = p.window();
    p.Prepare("1000");
    p.Run(3);
    const ui::FeedbackScreen& f = w.Feedback();
    QVERIFY(!f.Live().Given().empty());
    QVERIFY(!f.Live().Pushes(1).empty());
    QVERIFY(f.Tile(1, 1).ValueText() != "-");  // the contact angle of the last push shown
    w.menuFeedback->trigger();
    QVERIFY(w.Feedback().isVisible());
    w.Feedback().tblTargets->item(1, 1)->setText("30");
    QVERIFY(w.Feedback().ApplyTargets());
    const Settings kept = LoadSettings(ui::FromQ(p.path(kSettingsFileName))).values;
    QCOMPARE(kept.feedback.targets.at(1).low.kind, BandEnd::Kind::kAbsolute);
    QCOMPARE(kept.feedback.targets.at(1).low.value, 30.0);
  }

  void stopDuringSamplingAbandonsTheCycle() {
    Program p;
    ui::Form1& w = p.window();
    p.Prepare("2000");
    w.chkAutoDataSave->setChecked(true);
    w.show();
    ui::ShowScreen(&w.CalcResults());
    QVERIFY(QTest::qWaitForWindowActive(&w.CalcResults()));
    // Viewing a saved measurement while sampling would mix two records: it is refused.
    QTimer::singleShot(20, &w, [&w] { w.DataView().Command1->click(); });
    // F5 on another screen stops, as the Stop button does.
    QTimer f5;
    f5.setInterval(5);
    connect(&f5, &QTimer::timeout, this, [&] {
      if (w.samplesTaken() >= 500) QTest::keyClick(&w.CalcResults(), Qt::Key_F5);
    });
    f5.start();
    p.Run();

    QCOMPARE(p.cycles, 0);
    QVERIFY(w.samplesTaken() >= 500);
    QVERIFY(w.samplesTaken() < 2000);
    // The stop is said, and the bar starts again from nothing: the cycle was not kept.
    QVERIFY(!p.notice("Stopped; the cycle being sampled was not kept").isEmpty());
    QCOMPARE(w.progressSamples->value(), 0);
    QVERIFY(!p.notice("stop the measurement before viewing").isEmpty());
    QCOMPARE(w.shape_Timer->colour(), kLampRed);
    // No whole cycle has been measured: File Option has nothing to write until one has.
    w.FileOption().Command2->click();
    QVERIFY(!p.notice("was not saved").isEmpty());
    QVERIFY(!QFile::exists(p.path("data/RUN0000001_dat.csv")));
  }
};

}  // namespace velquor

QTEST_MAIN(velquor::MeasurementRunTest)
#include "measurement_run_test.moc"
