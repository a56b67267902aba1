// The Card Setting screen and the Text Screen monitor on a scripted driver.
#include <QtTest>

#include "daq/ui/card_setting.h"
#include "daq/ui/text_screen.h"
#include "measure/ui/lamp.h"
#include "program_fixture.h"
#include "support/scripted_driver.h"

using velquor::testing::Program;
using velquor::testing::ScriptedDriver;

namespace velquor {
namespace {

using Ports = std::array<std::uint8_t, 3>;

struct Scripted {
  ScriptedDriver* driver;
  Program program;
  explicit Scripted(std::unique_ptr<ScriptedDriver> d) : driver(d.get()), program(std::move(d)) {}
};

std::unique_ptr<Scripted> MakeScripted() {
  auto d = std::make_unique<ScriptedDriver>();
  d->codes = {2100, 2042};
  return std::make_unique<Scripted>(std::move(d));
}

}  // namespace
}  // namespace velquor

Q_DECLARE_METATYPE(velquor::Ports)

namespace velquor {

class DeviceScreensTest : public QObject {
  Q_OBJECT

 private slots:
  void monitorShowsPortsAndVoltages_data() {
    QTest::addColumn<Ports>("ports");
    QTest::addColumn<int>("readCode");
    QTest::addColumn<QStringList>("hex");
    QTest::addColumn<QStringList>("decimal");
    QTest::addColumn<QString>("dioLine");
    QTest::newRow("encoder bytes") << Ports{0x34, 0x12, 0xB7} << 0 << QStringList{"34", "12", "B7"}
                                   << QStringList{"52", "18", "183"} << "DioInp Return Code = 000h";
    QTest::newRow("no padding") << Ports{0x05, 0x00, 0xFF} << 0 << QStringList{"5", "0", "FF"}
                                << QStringList{"5", "0", "255"} << "DioInp Return Code = 000h";
    // A failing read shows its code and leaves the bytes of the read before.
    QTest::newRow("read fails") << Ports{0x05, 0x00, 0xFF} << 10004 << QStringList{"11", "22", "33"}
                                << QStringList{"17", "34", "51"} << "DioInp Return Code = 714h";
  }
  void monitorShowsPortsAndVoltages() {
    QFETCH(Ports, ports);
    QFETCH(int, readCode);
    QFETCH(QStringList, hex);
    QFETCH(QStringList, decimal);
    QFETCH(QString, dioLine);
    auto s = MakeScripted();
    ui::Form3& f = s->program.window().TextScreen();
    s->driver->ports = {0x11, 0x22, 0x33};
    f.MonitorRead();
    s->driver->ports = ports;
    s->driver->codes = {4095, 0};
    s->driver->read_code = readCode;
    f.MonitorRead();
    for (int k = 0; k < 3; ++k) {
      QCOMPARE(f.DataInf.at(k)->text(), hex.at(k));
      QCOMPARE(f.txtData.at(k)->text(), decimal.at(k));
    }
    QCOMPARE(f.RetInf_DIO->text(), dioLine);
    // The voltages follow every read, whatever its code.
    QCOMPARE(f.Data3_txt->text(), QString("9.995117"));
    QCOMPARE(f.Data4_txt->text(), QString("-10"));
  }

  void timerOnTakesItsIntervalFromTheBox_data() {
    QTest::addColumn<QString>("interval");
    QTest::addColumn<bool>("ticking");
    QTest::addColumn<int>("ms");
    QTest::addColumn<Rgb>("lamp");
    QTest::newRow("50 ms") << "50" << true << 50 << kLampGreen;
    QTest::newRow("halves to even") << "12.5" << true << 12 << kLampGreen;
    QTest::newRow("0 gives no ticks") << "0" << false << 0 << kLampGreen;
    QTest::newRow("not a number") << "fast" << false << 0 << kLampRed;
  }
  void timerOnTakesItsIntervalFromTheBox() {
    QFETCH(QString, interval);
    QFETCH(bool, ticking);
    QFETCH(int, ms);
    QFETCH(Rgb, lamp);
    auto s = MakeScripted();
    ui::Form1& w = s->program.window();
    ui::Form3& f = w.TextScreen();
    f.txtTimerInterval->setText(interval);
    f.Command3->click();
    QCOMPARE(f.Timer1.isActive(), ticking);
    if (ticking) QCOMPARE(f.Timer1.interval(), ms);
    QCOMPARE(w.shape_Timer->colour(), lamp);
    QCOMPARE(s->program.notice("Text Screen: Timer Interval").isEmpty(), lamp == kLampGreen);
  }

  void liveMonitorTicksUntilClosed() {
    auto s = MakeScripted();
    ui::Form1& w = s->program.window();
    s->driver->ports = {0x34, 0x12, 0xB7};
    w.cmdTextScreen->click();
    ui::Form3& f = w.TextScreen();
    QVERIFY(f.isVisible());
    f.txtTimerInterval->setText("10");
    f.Command3->click();
    QTRY_COMPARE(f.DataInf.at(2)->text(), QString("B7"));
    QCOMPARE(f.txtData.at(2)->text(), QString("183"));
    f.Command1->click();
    QVERIFY(!f.isVisible());
    QVERIFY(!f.Timer1.isActive());
    QCOMPARE(w.shape_Timer->colour(), kLampRed);
    // Shown again, it keeps its texts and its timer stays off.
    w.menuTextScreen->trigger();
    QVERIFY(f.isVisible());
    QCOMPARE(f.DataInf.at(2)->text(), QString("B7"));
    QVERIFY(!f.Timer1.isActive());
  }

  void cardSettingOpensAndCloses() {
    auto s = MakeScripted();
    ui::Form1& w = s->program.window();
    ui::Form2& f = w.CardSetting();
    f.cmd_CardClose->click();
    QCOMPARE(f.RetInfAD->text(), QString("AioClose Return Code = 000h"));
    QCOMPARE(f.RetInfDIO->text(), QString("DioClose Return Code = 000h"));
    QCOMPARE(w.shape_AD->colour(), kLampRed);
    QCOMPARE(w.shape_DIO->colour(), kLampRed);

    // A driver number that is not a number opens nothing and says so.
    f.TxtDrvAD->setText("thirty");
    f.cmd_AioOpen->click();
    QCOMPARE(f.RetInfAD->text(), QString("AioClose Return Code = 000h"));
    QCOMPARE(w.shape_AD->colour(), kLampRed);
    QVERIFY(s->program.notice("\"thirty\"").contains("not opened"));

    f.TxtDrvAD->setText("31");
    f.cmd_AioOpen->click();
    QCOMPARE(s->driver->calls.back(), std::string("AioOpen 31 1"));
    QCOMPARE(f.RetInfAD->text(), QString("AioOpen Return Code = 000h"));
    QCOMPARE(w.shape_AD->colour(), kLampGreen);

    // Another digital driver than 1 sets no 8255 mode.
    f.TxtDrvDIO->setText("2");
    f.cmd_DioOpen->click();
    QCOMPARE(s->driver->calls.back(), std::string("DioOpen 2 1"));
    QCOMPARE(f.RetInfDIO->text(), QString("DioOpen Return Code = 000h"));
    QCOMPARE(w.shape_DIO->colour(), kLampGreen);

    f.cmd_close_screen->click();
    QVERIFY(!f.isVisible());
  }
};

}  // namespace velquor

QTEST_MAIN(velquor::DeviceScreensTest)
#include "device_screens_test.moc"
