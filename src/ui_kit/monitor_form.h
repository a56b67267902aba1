// A screen that reads the devices live on a window timer (the Text Screen and the
// calibration screen): "Timer ON" from its interval box, "Timer OFF", "Close Screen".
#pragma once

#include <QString>
#include <QTimer>
#include <array>
#include <cstdint>
#include <functional>
#include <optional>

#include "common/colors.h"
#include "ui_kit/form_kit.h"

class QLineEdit;

namespace velquor::ui {

class MonitorForm : public FormSurface {
  Q_OBJECT

 public:
  // `screen` names the screen in notices; `reading` what the timer drives.
  MonitorForm(int design_width, int design_height, QString screen, QString reading,
              QWidget* parent);

  // The timer's interval from txtTimerInterval; the shared timer lamp turns green.
  void TimerOn();
  // The timer stops; the lamp turns red.
  void TimerOff();
  // TimerOff, then the screen is hidden and keeps its texts.
  void CloseScreen();

  // The latest sample of the running measurement: both voltages and the three port bytes.
  // While a run owns the devices the screen shows it instead of reading them itself.
  struct RunSample {
    std::array<float, 2> volt{};
    std::array<std::uint8_t, 3> ports{};
  };
  using RunSampleSource = std::function<std::optional<RunSample>()>;
  void SetRunSampleSource(RunSampleSource source) { runSample_ = std::move(source); }

  QLineEdit* txtTimerInterval = nullptr;  // made by the screen in its condition frame
  QTimer Timer1;

 signals:
  void timerLamp(velquor::Rgb colour);
  void notice(const QString& text);

 protected:
  // One tick of Timer1.
  virtual void Tick() = 0;
  // The run's latest sample, or nothing (no run, or no sample of it yet).
  std::optional<RunSample> RunSampleNow() const { return runSample_ ? runSample_() : std::nullopt; }
  void closeEvent(QCloseEvent* event) override;

 private:
  RunSampleSource runSample_;
  QString screen_;
  QString reading_;
};

}  // namespace velquor::ui
