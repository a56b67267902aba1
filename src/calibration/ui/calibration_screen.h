// The Strain Gauge Calibration Screen: live voltages of both gauges, 13 rows of known
// torque per channel with their captured voltages, the fit and its graph, and the file.
#pragma once

#include <QPointer>
#include <array>

#include "calibration/fit.h"
#include "daq/driver.h"
#include "record/calibration.h"
#include "ui_kit/monitor_form.h"
#include "workspace/workspace.h"

class QLabel;
class QMessageBox;
class QLineEdit;
class QPushButton;

namespace velquor {
class PictureBase;
}

namespace velquor::ui {

class Form5 : public MonitorForm {
  Q_OBJECT

 public:
  Form5(Workspace& ws, AcqDriver& driver, QWidget* parent = nullptr);

  // The point rows as the calibration in force holds them (after the file was read).
  void ShowCalibrationRows();
  // Draws the points of the last fit and both lines.
  void DrawCalibGraph();
  // One live reading of both channels.
  void LiveRead();
  // "Set" of row j of channel ch: captures the live voltage or releases the row.
  void SetRow(int ch, int j);
  // "Clear" of channel ch: every voltage of the channel emptied.
  void ClearChannel(int ch);
  // "Calcuration and Save": fit, show, draw and write the file with its dated copy.
  void CalculateAndSave();
  // Shows the calibration in force (coefficients, file, date) at the foot of the screen and
  // tells it with inForceChanged.
  void ShowInForce();
  // The question before a doubtful fit replaces the calibration in force, while it is open.
  QMessageBox* PendingQuestion() const;
  // A calibration file that could not be read and could not be kept aside either must not be
  // written over: "Calcuration and Save" then refuses, saying `why`.
  void KeepWorkingFile(const QString& why) { keepWorkingFile_ = why; }

  PictureBase& graph() { return *Picture_base; }

  std::array<std::array<QLineEdit*, kCalRows>, 2> txtVoltData{};  // txtVoltData0(j), ...1(j)
  std::array<std::array<QLineEdit*, kCalRows>, 2> txtTqData{};    // txtTqData0(j), ...1(j)
  std::array<std::array<QPushButton*, kCalRows>, 2> cmdSet{};     // cmdSet0(j), cmdSet1(j)
  std::array<QPushButton*, 2> cmdCls{};                           // cmdCls0, cmdCls1
  QLineEdit* Text4;
  QLineEdit* Text5;
  std::array<QLineEdit*, 2> txtVolt{};  // txtVolt0, txtVolt1
  QLabel* RetInf_AD;
  std::array<QLineEdit*, 2> txtKa0{};  // channel 0: index 0 shows Ka0, index 1 Ka1
  std::array<QLineEdit*, 2> txtKa1{};  // channel 1 likewise
  QPushButton* Command4;
  QPushButton* Command3;
  QPushButton* Command2;
  QPushButton* Command1;
  PictureBase* Picture_base;
  std::array<QLabel*, 2> lblFitQuality{};  // R² and voltage span of the last fit, per channel
  QLabel* lblInForce;                      // the calibration in force

 signals:
  // "Calibration in force: ch0 Tq = ... Nm; from FILE of DATE", after start-up and each fit.
  void inForceChanged(const QString& text);

 protected:
  void Tick() override { LiveRead(); }

 private:
  void BuildChannel(int ch);
  // The fit takes effect, is shown and drawn, and written with its dated copy.
  void Adopt(const CalibrationFit& fit);

  Workspace& ws_;
  AcqDriver& driver_;
  QString keepWorkingFile_;
  QPointer<QMessageBox> question_;
};

}  // namespace velquor::ui
