#include "daq/ui/card_setting.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace velquor::ui {
Form2::Form2(AcqDriver& driver, DeviceState& device, QWidget* parent)
    : FormSurface(5400, 5000, parent), driver_(driver), device_(device) {
  setObjectName("Form2");
  setWindowFlag(Qt::Window);
  setWindowTitle("Card Setting");

  QGroupBox* ad = Frame(this, "Frame1", "A/D", 120, 120, 2520, 2040);
  Label(ad, "Driver Number", 120, 330, 1560, 300);
  TxtDrvAD = Edit(ad, "TxtDrvAD", "30", 1680, 300, 720, 330);
  Label(ad, "Group Number", 120, 750, 1560, 300);
  TxtGrpAD = Edit(ad, "TxtGrpAD", "1", 1680, 720, 720, 330);
  TxtChAD = Edit(ad, "TxtChAD", "2", 1680, 1140, 720, 330);
  TxtChAD->setReadOnly(true);
  TxtChAD->setToolTip("Channels read");
  Label(ad, "Reference", 120, 1590, 1560, 300);
  TxtRefAD = Edit(ad, "TxtRefAD", "GND", 1680, 1560, 720, 330);
  TxtRefAD->setToolTip(
      "GND: inputs against the card's ground; COMMON: against the inputs' common line; DIFF: "
      "differential inputs; OTHER: the card's own. A card with one reference uses it");

  QGroupBox* dio = Frame(this, "Frame2", "DIO", 2760, 120, 2520, 2460);
  Label(dio, "Driver Number", 120, 330, 1560, 300);
  TxtDrvDIO = Edit(dio, "TxtDrvDIO", "1", 1680, 300, 720, 330);
  Label(dio, "Group Number", 120, 750, 1560, 300);
  TxtGrpDIO = Edit(dio, "TxtGrpDIO", "1", 1680, 720, 720, 330);
  QLineEdit** ports[] = {&PortNo1Inf, &PortNo2Inf, &PortNo3Inf};
  for (int k = 0; k < 3; ++k) {
    const int top = 1200 + 390 * k;
    Label(dio, "PortNo :", 120, top + 30, 1560, 300);
    *ports[k] = Edit(dio, "PortNo" + QString::number(k + 1) + "Inf", QString::number(k), 1680, top,
                     720, 330);
  }

  Label(this, "Ret", 120, 2760, 420, 300);
  RetInfAD = ReturnLine(this, "RetInfAD", 600, 2760, 4680, 300);
  RetInfDIO = ReturnLine(this, "RetInfDIO", 600, 3120, 4680, 300);
  Label(this, "Card", 120, 3480, 420, 300);
  CardInfAD = ReturnLine(this, "CardInfAD", 600, 3480, 4680, 900);
  CardInfAD->setWordWrap(true);
  CardInfAD->setAlignment(Qt::AlignLeft | Qt::AlignTop);

  cmd_AioOpen = Button(this, "cmd_AioOpen", "Aio Open", 120, 4500, 1080, 360);
  cmd_DioOpen = Button(this, "cmd_DioOpen", "Dio Open", 1260, 4500, 1080, 360);
  cmd_CardClose = Button(this, "cmd_CardClose", "Aio/Dio Close", 2400, 4500, 1380, 360);
  cmd_close_screen = Button(this, "cmd_close_screen", "Close Screen", 3840, 4500, 1440, 360);

  connect(cmd_AioOpen, &QPushButton::clicked, this, [this] { OpenAioCard(); });
  connect(cmd_DioOpen, &QPushButton::clicked, this, [this] { OpenDioCard(); });
  connect(cmd_CardClose, &QPushButton::clicked, this, [this] {
    CloseAioCard();
    CloseDioCard();
  });
  connect(cmd_close_screen, &QPushButton::clicked, this, &QWidget::hide);
}

CardSettingTexts Form2::Texts() const {
  CardSettingTexts t;
  t.TxtDrvAD = FromQ(TxtDrvAD->text());
  t.TxtGrpAD = FromQ(TxtGrpAD->text());
  t.TxtChAD = FromQ(TxtChAD->text());
  t.TxtRefAD = FromQ(TxtRefAD->text());
  t.TxtDrvDIO = FromQ(TxtDrvDIO->text());
  t.TxtGrpDIO = FromQ(TxtGrpDIO->text());
  t.PortNo1Inf = FromQ(PortNo1Inf->text());
  t.PortNo2Inf = FromQ(PortNo2Inf->text());
  t.PortNo3Inf = FromQ(PortNo3Inf->text());
  return t;
}

void Form2::Show(QLabel* line, const DeviceOutcome& out, bool analog) {
  if (out.retInf) {
    line->setText(ToQ(*out.retInf));
    line->setToolTip(ToQ(*out.retInf));  // a problem may be longer than the line
  }
  if (analog) {
    // What the A/D open found: which device file, its reference and how its codes are taken.
    if (out.retInf) CardInfAD->setText(ToQ(out.note));
    emit aioLamp(out.lampGreen);
  } else {
    emit dioLamp(out.lampGreen);
  }
  if (!out.note.empty()) emit notice(ToQ(out.note));
  if (!out.notice.empty()) emit notice(ToQ(out.notice));
}

bool Form2::RefusedWhileMeasuring() {
  if (!device_.measuring) return false;
  emit notice("Card Setting: the devices are in use by the running measurement; stop it first");
  return true;
}

void Form2::OpenAioCard() {
  if (RefusedWhileMeasuring()) return;
  Show(RetInfAD, velquor::OpenAioCard(driver_, device_, Texts()), true);
}

void Form2::OpenDioCard() {
  if (RefusedWhileMeasuring()) return;
  Show(RetInfDIO, velquor::OpenDioCard(driver_, device_, Texts()), false);
}

void Form2::CloseAioCard() {
  if (RefusedWhileMeasuring()) return;
  Show(RetInfAD, velquor::CloseAioCard(driver_, device_), true);
}

void Form2::ShowClosed(const DeviceOutcome& aio, const DeviceOutcome& dio) {
  Show(RetInfAD, aio, true);
  Show(RetInfDIO, dio, false);
}

void Form2::CloseDioCard() {
  if (RefusedWhileMeasuring()) return;
  Show(RetInfDIO, velquor::CloseDioCard(driver_, device_), false);
}

}  // namespace velquor::ui
