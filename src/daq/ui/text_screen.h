// The Text Screen: a live monitor of both acquisition devices on a window timer, showing
// the two channel voltages and the three port bytes in hexadecimal and decimal.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>

#include "common/colors.h"
#include "daq/device_state.h"
#include "daq/driver.h"
#include "ui_kit/monitor_form.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace velquor::ui {

class Form3 : public MonitorForm {
  Q_OBJECT

 public:
  Form3(AcqDriver& driver, DeviceState& device, QWidget* parent = nullptr);

  // One monitor read: both devices, the voltages always, the port fields only when the
  // digital read succeeded. While a measurement run owns the devices, its latest sample is
  // shown instead.
  void MonitorRead();

  QLineEdit* Text4;
  QLineEdit* Text5;
  QLineEdit* Data3_txt;
  QLineEdit* Data4_txt;
  QLabel* RetInf_AD;
  QLineEdit* PortNo1Inf;
  QLineEdit* PortNo2Inf;
  QLineEdit* PortNo3Inf;
  std::array<QLineEdit*, 3> DataInf{};  // Data1Inf..Data3Inf, hexadecimal
  std::array<QLineEdit*, 3> txtData{};  // txtData1..txtData3, decimal
  QLabel* RetInf_DIO;
  QPushButton* Command3;
  QPushButton* Command2;
  QPushButton* Command1;

 protected:
  void Tick() override { MonitorRead(); }

 private:
  void ShowPorts(const std::array<std::uint8_t, 3>& bytes);

  AcqDriver& driver_;
  DeviceState& device_;
};

}  // namespace velquor::ui
