// Loading the main window with and without the settings and calibration files, every result
// finding its box, unreadable files kept aside, and the settings it leaves when closed.

#include "analysis/ui/calc_results.h"
#include "analysis/ui/pushes_screen.h"
#include "analysis/ui/result_boxes.h"
#include "calibration/ui/calibration_screen.h"
#include "common/text_file.h"
#include "daq/ui/card_setting.h"
#include "file_text.h"
#include "files/calibration_file.h"
#include "files/settings_file.h"
#include "measure/ui/lamp.h"
#include "program_fixture.h"

#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>

using velquor::testing::Program;

namespace velquor {
namespace {

void WriteSettings(const Program& p) {
  Settings s = Settings::DesignTime();
  s.txtFileDir = "C:\\auto";
  s.txtFileHead = "RUN";
  s.txtFileOrg = "12";
  s.txtTimerInterval = "10";
  s.txtDataNum = "300";
  s.txtSampTime = "3";
  s.txtStartPosCond = "0.5";
  s.mdc = {{{"contact_angle_deg", 5}}};
  QVERIFY(SaveSettings(s, ui::FromQ(p.path(kSettingsFileName))).ok());
}

}  // namespace

class StartUpTest : public QObject {
  Q_OBJECT

 private slots:
  // Every result text has a box of its name on the screen that shows it.
  void everyResultFindsItsBox() {
    Program p;
    ui::Form1& w = p.window();
    const std::pair<const QWidget*, NamedTexts> screens[] = {
        {w.centralWidget(), MainResultFields(MainResultTexts{})},
        {&w.CalcResults(), StrokeTableFields(StrokeTableTexts{})},
        {&w.CalcResults(), ChosenStrokeFields(ChosenStrokeTexts{})},
    };
    for (const auto& [screen, names] : screens) {
      QVERIFY(!names.empty());
      std::string unfound;
      for (const std::string& name : ui::ResultBoxes::Unfound(*screen, names))
        unfound += name + " ";
      QVERIFY2(unfound.empty(), unfound.c_str());
    }
  }

  void fillsTheWindow_data() {
    QTest::addColumn<bool>("settings");
    QTest::addColumn<bool>("calibration");
    QTest::newRow("neither file") << false << false;
    QTest::newRow("both files") << true << true;
  }
  void fillsTheWindow() {
    QFETCH(bool, settings);
    QFETCH(bool, calibration);
    Program p(true);
    if (settings) WriteSettings(p);
    if (calibration) {
      Calibration cal = Calibration::DesignTime();
      cal.Ka1 = {20, 19.5};
      cal.Ka0 = {0.5, -0.25};
      cal.VoltText[0][6] = "0.01";
      cal.loaded = true;
      const std::string file = ui::FromQ(p.path(kCalibrationFileName));
      QVERIFY(WriteShiftJisFile(file, CalibrationText(cal).text).ok());
    }
    ui::Form1& w = p.window();

    const QStringList condition{w.txtTimerInterval->text(), w.txtDataNum->text(),
                                w.txtSampTime->text()};
    QCOMPARE(condition.join(' '), settings ? "10 300 3" : "20 100 2");

    // Without settings the pair goes to the working directory, and the paths say so.
    QCOMPARE(w.FileOption().txtFileDat->text(),
             settings ? QString("/auto/RUN0000012_dat.csv") : "0000000_dat.csv");
    QCOMPARE(w.CalcResults().txtStartPosCond->text(), settings ? "0.5" : "1");

    QCOMPARE(w.Calibration().txtVoltData.at(0).at(6)->text(), calibration ? "0.01" : "");
    QCOMPARE(p.ws().calibration.Ka1[0], calibration ? 20.0 : 0.0);
    QCOMPARE(p.notice("No calibration loaded").isEmpty(), calibration);

    // The settings written when the window closes keep the minimal detectable changes read,
    // which no screen shows.
    w.close();
    const SettingsLoad back = LoadSettings(ui::FromQ(p.path(kSettingsFileName)));
    QCOMPARE(back.values.mdc.For("contact_angle_deg"),
             settings ? std::optional<double>(5) : std::nullopt);
  }

  // Files saved as UTF-8 by an editor, or edited by hand so that their items are out of step
  // or a coefficient is no number: kept under another name before the program writes a new
  // one, both names said; nothing read from the untrusted lines is used.
  void unreadableFilesAreKeptAside_data() {
    QTest::addColumn<bool>("utf8");
    QTest::addColumn<QString>("where");  // the line the settings notice names
    QTest::newRow("saved as UTF-8") << true << QString();
    QTest::newRow("a comma and a nan typed in") << false << QString("line 5, field 3");
  }
  void unreadableFilesAreKeptAside() {
    QFETCH(bool, utf8);
    QFETCH(QString, where);
    Program p(true);
    if (utf8) {
      for (const char* name : {kSettingsFileName, kCalibrationFileName}) {
        testing::WriteText(p.path(name),
                           "\xEF\xBB\xBF\xE3\x83\x87\xE3\x83\xBC\xE3\x82\xBF\xE6\x95\xB0,100\r\n");
      }
    } else {
      WriteSettings(p);
      const std::string ini = ui::FromQ(p.path(kSettingsFileName));
      std::string text = ReadShiftJisFile(ini).value();
      text.replace(text.find("ヘッダ(Auto),RUN"), 19, "ヘッダ(Auto),RU,N");
      QVERIFY(WriteShiftJisFile(ini, text).ok());
      Calibration cal = Calibration::DesignTime();
      cal.Ka1 = {20, 19.5};
      std::string clb = CalibrationText(cal).text;
      clb.replace(clb.find("ch0 Ka0,0"), 9, "ch0 Ka0,nan");
      QVERIFY(WriteShiftJisFile(ui::FromQ(p.path(kCalibrationFileName)), clb).ok());
    }
    ui::Form1& w = p.window();
    for (const QString name : {kSettingsFileName, kCalibrationFileName}) {
      QVERIFY2(!p.notice(name + ".unreadable").isEmpty(), qPrintable(name));
      QVERIFY(QFile::exists(p.path(name + ".unreadable")));
      QVERIFY(!QFile::exists(p.path(name)));
    }
    if (!where.isEmpty()) QVERIFY(p.notice(kSettingsFileName).contains(where));
    // The header and number are never made of labels; no torque comes from the calibration.
    QCOMPARE(w.FileOption().txtFileHead->text(), QString());
    QCOMPARE(w.FileOption().txtFileOrg->text(), QString());
    QCOMPARE(p.ws().calibration.Ka1[1], 0.0);
    QVERIFY(!p.notice("No calibration loaded").isEmpty());
  }

  // Closing the window during a run asks first: No (the default) lets the run go on, Yes
  // ends it and the program.
  void closingMidRunAsksThenEndsItAndWritesTheSettings() {
    Program p;
    ui::Form1& w = p.window();
    p.Prepare("2000");  // a cycle of 2 s: closed long before it ends, however busy the machine
    w.Pushes().txtParameter.at(3)->setText("0.02");  // merge gap
    QVERIFY(w.Pushes().Apply());
    w.show();
    int asked = 0;
    QTimer close;
    close.setInterval(5);
    connect(&close, &QTimer::timeout, &w, [&] {
      if (w.samplesTaken() < 10 || w.PendingQuit() != nullptr) return;
      w.close();
      QMessageBox* question = w.PendingQuit();
      if (question == nullptr) return;
      ++asked;
      QCOMPARE(question->text(), QString("A measurement is running. Stop it and quit?"));
      QCOMPARE(question->defaultButton(), question->button(QMessageBox::No));
      // The first time No: the run goes on; the second time Yes.
      question->button(asked == 1 ? QMessageBox::No : QMessageBox::Yes)->click();
      if (asked == 1) QVERIFY(w.measuring() == 1);
    });
    close.start();
    QVERIFY(!QFile::exists(p.path(kSettingsFileName)));
    p.Run();
    QCOMPARE(asked, 2);
    QCOMPARE(p.cycles, 0);
    QCOMPARE(w.measuring(), 0);
    const SettingsLoad back = LoadSettings(ui::FromQ(p.path(kSettingsFileName)));
    QVERIFY2(back.notices.empty(), back.notices.empty() ? "" : back.notices[0].what.c_str());
    QCOMPARE(back.values.txtDataNum, std::string("2000"));
    QCOMPARE(ui::ToQ(back.values.txtFileDir), p.stored("data"));
    QCOMPARE(back.values.push.merge_gap, 0.02);
  }

  static QString Named(const QWidget* c) {
    if (!c->objectName().isEmpty()) return c->objectName();
    if (const auto* label = qobject_cast<const QLabel*>(c))
      return "label \"" + label->text() + "\"";
    return c->metaObject()->className();
  }

  // On a 1024 x 768 desktop (about 1024 x 700 for a window once its panel is off) the whole
  // window fits, and at that size the lamps, Start, Stop and every button are in view.
  void fitsASmallDesktop() {
    Program p;
    ui::Form1& w = p.window();
    w.show();
    const QSize least = w.minimumSizeHint().expandedTo(w.minimumSize());
    // Room for a title bar of 30 px and borders of a few.
    QVERIFY2(least.width() <= 1016 && least.height() <= 700 - 30,
             qPrintable(QString("%1 x %2").arg(least.width()).arg(least.height())));
    w.resize(least);
    QTRY_COMPARE(w.size(), least);
    const QRect inside = w.rect();
    QList<QWidget*> seen{w.shape_AD,      w.shape_Timer,      w.shape_DIO,   w.shape_AutoSave,
                         w.shape_ManSave, w.cmdStart,         w.cmdStop,     w.cmdCardSetting,
                         w.cmdTextScreen, w.cmdFileOption,    w.cmdDataView, w.cmdCalibration,
                         w.cmdCalcScreen, w.cmdPushes,        w.cmdReport,   w.cmdExit,
                         w.cmdNotices,    w.txtTimerInterval, w.txtDataNum,  w.txtSampTime,
                         w.noticeLine};
    for (QWidget* c : seen) {
      const QRect at(c->mapTo(&w, QPoint(0, 0)), c->size());
      QVERIFY2(c->isVisible() && inside.contains(at), qPrintable(c->objectName()));
    }
    // Nothing in the column is drawn over another thing there.
    const QWidget* column = w.Picture_base.at(kPowerGraph)->parentWidget();
    QList<QWidget*> parts;
    for (QWidget* c : column->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
      if (c->isVisible()) parts << c;
    }
    for (qsizetype i = 0; i < parts.size(); ++i) {
      for (qsizetype j = i + 1; j < parts.size(); ++j) {
        QVERIFY2(!parts[i]->geometry().intersects(parts[j]->geometry()),
                 qPrintable(Named(parts[i]) + " and " + Named(parts[j])));
      }
    }
    // The graphs gave way, and not below a readable size.
    const int torque = w.Picture_base.at(0)->width();  // 481 px at design size
    QVERIFY2(torque >= 481 * 8 / 10 - 1 && torque < 481, qPrintable(QString::number(torque)));
  }

  // Alt and a letter open the menus, F10 the menu bar; Function holds Report..., Notices...
  // and Exit; Escape closes a screen but never the main window.
  void keysReachEveryScreenAndMenu() {
    Program p;
    ui::Form1& w = p.window();
    w.show();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    QStringList function;
    for (const QAction* a : w.menuBar()->actions().at(0)->menu()->actions()) {
      if (!a->isSeparator()) function << a->text().remove('&');
    }
    QCOMPARE(function, QStringList({"Save On/Off", "Down Data Number", "Up Data Number", "Start",
                                    "Stop", "Marker", "Report...", "Notices...", "Exit"}));
    QCOMPARE(w.menuBar()->actions().at(0)->text(), QString("&Function"));
    QCOMPARE(w.menuBar()->actions().at(1)->text(), QString("&Window"));
    // Every button of the column, and each study box's caption (leading to its box), has a
    // letter of its own; the captions of the buttons are as before.
    QStringList texts;
    for (QPushButton* b :
         {w.cmdStart, w.cmdStop, w.cmdCardSetting, w.cmdTextScreen, w.cmdFileOption, w.cmdDataView,
          w.cmdCalibration, w.cmdCalcScreen, w.cmdPushes, w.cmdReport, w.cmdMarker, w.cmdFeedback,
          w.cmdStudy, w.cmdExit, w.cmdNotices}) {
      texts << b->text();
    }
    int captions = 0;
    for (const QLabel* l : w.findChildren<QLabel*>()) {
      if (l->buddy() == w.txtParticipant || l->buddy() == w.txtSession || l->buddy() == w.txtTask) {
        texts << l->text();
        ++captions;
      }
    }
    QCOMPARE(captions, 3);
    QSet<QChar> letters;
    for (const QString& text : texts) {
      const qsizetype at = text.indexOf('&');
      QVERIFY2(at >= 0, qPrintable(text));
      const QChar letter = text.at(at + 1).toLower();
      QVERIFY2(!letters.contains(letter) && letter != 'f' && letter != 'w', qPrintable(text));
      letters.insert(letter);
    }
    QTest::keyClick(&w, Qt::Key_I, Qt::AltModifier);
    QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(w.txtSession));
    QCOMPARE(w.cmdStart->text().remove('&'), QString("Start (F4)"));

    QTest::keyClick(&w, Qt::Key_F10);
    QTRY_VERIFY(w.menuBar()->activeAction() != nullptr);
    QTest::keyClick(w.menuBar(), Qt::Key_Escape);
    QTest::keyClick(w.menuBar(), Qt::Key_Escape);

    QTest::keyClick(&w, Qt::Key_C, Qt::AltModifier);  // Card Setting
    ui::Form2& card = w.CardSetting();
    QTRY_VERIFY(card.isVisible());
    QVERIFY(QTest::qWaitForWindowActive(&card));
    QTest::keyClick(&card, Qt::Key_Escape);
    QTRY_VERIFY(!card.isVisible());
    QVERIFY(QTest::qWaitForWindowActive(&w) || w.isVisible());
    QTest::keyClick(&w, Qt::Key_Escape);
    QVERIFY(w.isVisible());
  }
};

}  // namespace velquor

QTEST_MAIN(velquor::StartUpTest)
#include "startup_test.moc"
