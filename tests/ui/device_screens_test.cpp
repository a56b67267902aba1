// The Card Setting screen and the Text Screen monitor on a scripted driver.
#include "daq/ui/card_setting.h"
#include "daq/ui/text_screen.h"
#include "measure/ui/lamp.h"
#include "program_fixture.h"

using velquor::testing::Program;

namespace velquor {

class DeviceScreensTest : public QObject {
  Q_OBJECT

 private slots:
  void monitorShowsPortsAndVoltages_data() {
    QTest::addColumn<QByteArray>("ports");
    QTest::addColumn<int>("readCode");
    QTest::addColumn<QString>("shown");  // hexadecimal, then decimal
    QTest::addColumn<QString>("dioLine");
    QTest::newRow("encoder bytes") << QByteArray::fromHex("3412B7") << 0 << "34 12 B7 52 18 183"
                                   << "DioInp Return Code = 000h";
    QTest::newRow("no padding") << QByteArray::fromHex("0500FF") << 0 << "5 0 FF 5 0 255"
                                << "DioInp Return Code = 000h";
    // A failing read shows its code and leaves the bytes of the read before.
    QTest::newRow("read fails") << QByteArray::fromHex("0500FF") << 10004 << "11 22 33 17 34 51"
                                << "DioInp Return Code = 714h";
  }
  void monitorShowsPortsAndVoltages() {
    QFETCH(QByteArray, ports);
    QFETCH(int, readCode);
    QFETCH(QString, shown);
    QFETCH(QString, dioLine);
    Program p(true);
    ui::Form3& f = p.window().TextScreen();
    p.scripted().ports = {0x11, 0x22, 0x33};
    f.MonitorRead();
    for (int k = 0; k < 3; ++k) p.scripted().ports.at(k) = static_cast<std::uint8_t>(ports.at(k));
    p.scripted().codes = {4095, 0};
    p.scripted().read_code = readCode;
    f.MonitorRead();
    QStringList got;
    for (const auto& boxes : {f.DataInf, f.txtData}) {
      for (QLineEdit* box : boxes) got << box->text();
    }
    QCOMPARE(got.join(' '), shown);
    QCOMPARE(f.RetInf_DIO->text(), dioLine);
    // The voltages follow every read, whatever its code.
    QCOMPARE(f.Data3_txt->text(), QString("9.995117"));
    QCOMPARE(f.Data4_txt->text(), QString("-10"));
  }

  void timerRunsTheMonitorUntilClosed_data() {
    QTest::addColumn<QString>("interval");
    QTest::addColumn<int>("ms");  // 0: no ticks
    QTest::addColumn<bool>("accepted");
    QTest::newRow("halves to even") << "12.5" << 12 << true;
    QTest::newRow("0 gives no ticks") << "0" << 0 << true;
    QTest::newRow("not a number") << "fast" << 0 << false;
  }
  void timerRunsTheMonitorUntilClosed() {
    QFETCH(QString, interval);
    QFETCH(int, ms);
    QFETCH(bool, accepted);
    Program p(true);
    p.scripted().ports = {0x34, 0x12, 0xB7};
    ui::Form1& w = p.window();
    w.cmdTextScreen->click();
    ui::Form3& f = w.TextScreen();
    QVERIFY(f.isVisible());
    f.txtTimerInterval->setText(interval);
    f.Command3->click();
    QCOMPARE(f.Timer1.isActive(), ms > 0);
    QCOMPARE(w.shape_Timer->colour(), accepted ? kLampGreen : kLampRed);
    QCOMPARE(p.notice("Text Screen: Timer Interval").isEmpty(), accepted);
    if (ms > 0) {
      QCOMPARE(f.Timer1.interval(), ms);
      QTRY_COMPARE(f.DataInf.at(2)->text(), QString("B7"));
      QCOMPARE(f.txtData.at(2)->text(), QString("183"));
    }
    f.Command1->click();
    QVERIFY(!f.isVisible());
    QVERIFY(!f.Timer1.isActive());
    QCOMPARE(w.shape_Timer->colour(), kLampRed);
  }

  void cardSettingOpensAndCloses() {
    Program p(true);
    ui::Form1& w = p.window();
    ui::Form2& f = w.CardSetting();
    f.cmd_CardClose->click();
    QCOMPARE(f.RetInfAD->text(), QString("AioClose Return Code = 000h"));
    QCOMPARE(w.shape_AD->colour(), kLampRed);
    QCOMPARE(w.shape_DIO->colour(), kLampRed);

    // A driver number that is not a number opens nothing and says so.
    f.TxtDrvAD->setText("thirty");
    f.cmd_AioOpen->click();
    QCOMPARE(f.RetInfAD->text(), QString("AioClose Return Code = 000h"));
    QCOMPARE(w.shape_AD->colour(), kLampRed);
    QVERIFY(p.notice("\"thirty\"").contains("not opened"));

    f.TxtDrvAD->setText("31");
    f.TxtRefAD->setText("DIFF");
    f.cmd_AioOpen->click();
    QCOMPARE(p.scripted().calls.back(), std::string("AioOpen 31 1"));
    QVERIFY(p.scripted().reference == AnalogReference::kDifferential);
    QCOMPARE(f.RetInfAD->text(), QString("AioOpen Return Code = 000h"));
    QCOMPARE(w.shape_AD->colour(), kLampGreen);
  }
};

}  // namespace velquor

QTEST_MAIN(velquor::DeviceScreensTest)
#include "device_screens_test.moc"
