// The Card Setting screen: the driver and group numbers of both acquisition devices, the
// return-code lines of the last device call, and the buttons that open and close them.
#pragma once

#include <QString>

#include "common/colors.h"
#include "daq/device_access.h"
#include "ui_kit/form_kit.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace velquor::ui {

class Form2 : public FormSurface {
  Q_OBJECT

 public:
  Form2(AcqDriver& driver, DeviceState& device, QWidget* parent = nullptr);

  // The Card Setting texts as they stand on the screen.
  CardSettingTexts Texts() const;

  // Opening and closing through the screen's numbers; each shows its return code, reports
  // the device lamp and any problem.
  void OpenAioCard();
  void OpenDioCard();
  void CloseAioCard();
  void CloseDioCard();

  QLineEdit* TxtDrvAD;
  QLineEdit* TxtGrpAD;
  QLineEdit* TxtChAD;
  QLineEdit* TxtRefAD;
  QLineEdit* TxtDrvDIO;
  QLineEdit* TxtGrpDIO;
  QLineEdit* PortNo1Inf;
  QLineEdit* PortNo2Inf;
  QLineEdit* PortNo3Inf;
  QLabel* RetInfAD;
  QLabel* RetInfDIO;
  QLabel* CardInfAD;  // what the last A/D open found
  QPushButton* cmd_AioOpen;
  QPushButton* cmd_DioOpen;
  QPushButton* cmd_CardClose;
  QPushButton* cmd_close_screen;

  // Shows what closing both devices did when they were closed without this screen (the
  // measurement found the card gone).
  void ShowClosed(const DeviceOutcome& aio, const DeviceOutcome& dio);

 signals:
  void aioLamp(bool green);
  void dioLamp(bool green);
  void notice(const QString& text);

 private:
  void Show(QLabel* line, const DeviceOutcome& out, bool analog);
  // Says so and gives true while a measurement run owns the devices.
  bool RefusedWhileMeasuring();

  AcqDriver& driver_;
  DeviceState& device_;
};

}  // namespace velquor::ui
