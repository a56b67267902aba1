#include "daq/ui/text_screen.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "common/number_text.h"
#include "daq/return_code.h"

namespace velquor::ui {
namespace {

QLineEdit* Caption(QLineEdit* box) {
  box->setReadOnly(true);
  return box;
}

}  // namespace

Form3::Form3(AcqDriver& driver, DeviceState& device, QWidget* parent)
    : MonitorForm(7200, 5040, "Text Screen", "monitor", parent), driver_(driver), device_(device) {
  setObjectName("Form3");
  setWindowTitle("Text Screen");

  QGroupBox* ad = Frame(this, "Frame3", "A/D Converter", 120, 120, 6960, 1560);
  QLineEdit** volts[] = {&Data3_txt, &Data4_txt};
  QLineEdit** channels[] = {&Text4, &Text5};
  for (int k = 0; k < 2; ++k) {
    const int top = 300 + 390 * k;
    Label(ad, "Channel No :", 120, top + 30, 1320, 300);
    *channels[k] =
        Caption(Edit(ad, k == 0 ? "Text4" : "Text5", QString::number(k), 1440, top, 480, 330));
    Label(ad, "Data :", 2040, top + 30, 600, 300);
    *volts[k] = Edit(ad, k == 0 ? "Data3_txt" : "Data4_txt", QString(), 2640, top, 1560, 330);
    Label(ad, "V", 4260, top + 30, 300, 300);
  }
  Label(ad, "Ret", 120, 1110, 480, 300);
  RetInf_AD = ReturnLine(ad, "RetInf_AD", 600, 1110, 6240, 300);

  QGroupBox* dio = Frame(this, "Frame1", "Digital Input", 120, 1800, 6960, 1950);
  QLineEdit** ports[] = {&PortNo1Inf, &PortNo2Inf, &PortNo3Inf};
  for (int k = 0; k < 3; ++k) {
    const int top = 300 + 390 * k;
    const QString n = QString::number(k + 1);
    Label(dio, "PortNo :", 120, top + 30, 1320, 300);
    *ports[k] = Caption(Edit(dio, "PortNo" + n + "Inf", QString::number(k), 1440, top, 480, 330));
    Label(dio, "Data :", 2040, top + 30, 600, 300);
    DataInf.at(k) = Edit(dio, "Data" + n + "Inf", QString(), 2640, top, 900, 330);
    Label(dio, "H", 3600, top + 30, 300, 300);
    txtData.at(k) = Edit(dio, "txtData" + n, QString(), 3960, top, 900, 330);
  }
  Label(dio, "Ret", 120, 1500, 480, 300);
  RetInf_DIO = ReturnLine(dio, "RetInf_DIO", 600, 1500, 6240, 300);

  QGroupBox* cond = Frame(this, "Frame2", "Condition", 120, 3870, 3000, 780);
  Label(cond, "Timer Interval", 120, 330, 1320, 300);
  txtTimerInterval = Edit(cond, "txtTimerInterval", "50", 1440, 300, 720, 330);
  Label(cond, "msec", 2220, 330, 600, 300);

  Command3 = Button(this, "Command3", "Timer ON", 3240, 3960, 1200, 420);
  Command2 = Button(this, "Command2", "Timer OFF", 4500, 3960, 1200, 420);
  Command1 = Button(this, "Command1", "Close Screen", 5760, 3960, 1320, 420);

  connect(Command3, &QPushButton::clicked, this, &Form3::TimerOn);
  connect(Command2, &QPushButton::clicked, this, &Form3::TimerOff);
  connect(Command1, &QPushButton::clicked, this, &Form3::CloseScreen);
}

void Form3::MonitorRead() {
  DeviceState& dev = device_;
  if (dev.measuring) {
    // The run's thread alone reads the devices: its latest sample is what they gave.
    if (const auto s = RunSampleNow()) {
      Data3_txt->setText(ToQ(PlainForm(s->volt[0])));
      Data4_txt->setText(ToQ(PlainForm(s->volt[1])));
      ShowPorts(s->ports);
    }
    return;
  }
  dev.RetCode = driver_.AioInp(dev.AioId, dev.AioReq);
  RetInf_AD->setText(ToQ("AioInp Return Code = " + ReturnCodeText(dev.RetCode)));
  Data3_txt->setText(ToQ(PlainForm(BinaryToVI(-10.0f, 10.0f, 1, 12, dev.AiData[0]))));
  Data4_txt->setText(ToQ(PlainForm(BinaryToVI(-10.0f, 10.0f, 1, 12, dev.AiData[1]))));
  dev.RetCode = driver_.DioInp(dev.DioId, dev.DioReq);
  RetInf_DIO->setText(ToQ("DioInp Return Code = " + ReturnCodeText(dev.RetCode)));
  if (dev.RetCode != 0) return;
  ShowPorts(dev.DioData);
}

void Form3::ShowPorts(const std::array<std::uint8_t, 3>& bytes) {
  for (std::size_t k = 0; k < 3; ++k) {
    const int byte = bytes.at(k);
    DataInf.at(k)->setText(QString::number(byte, 16).toUpper());
    txtData.at(k)->setText(QString::number(byte));
  }
}

}  // namespace velquor::ui
