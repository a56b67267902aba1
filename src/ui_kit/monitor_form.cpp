#include "ui_kit/monitor_form.h"

#include <QCloseEvent>
#include <QLineEdit>
#include <utility>

namespace velquor::ui {

MonitorForm::MonitorForm(int design_width, int design_height, QString screen, QString reading,
                         QWidget* parent)
    : FormSurface(design_width, design_height, parent),
      screen_(std::move(screen)),
      reading_(std::move(reading)) {
  setWindowFlag(Qt::Window);
  Timer1.setObjectName("Timer1");
  connect(&Timer1, &QTimer::timeout, this, [this] { Tick(); });
}

void MonitorForm::TimerOn() {
  if (!StartWindowTimer(Timer1, txtTimerInterval)) {
    // The timer goes on as it was: ticking at its old interval, or not at all.
    const QString kept =
        Timer1.isActive()
            ? "kept the previous interval of " + QString::number(Timer1.interval()) + " msec"
            : "kept the previous interval; the " + reading_ + " stays off";
    emit notice(screen_ + ": Timer Interval \"" + txtTimerInterval->text() +
                "\" is not a whole number of msec; " + kept);
    return;
  }
  emit timerLamp(kLampGreen);
}

void MonitorForm::TimerOff() {
  Timer1.stop();
  emit timerLamp(kLampRed);
}

void MonitorForm::CloseScreen() {
  TimerOff();
  hide();
}

void MonitorForm::closeEvent(QCloseEvent* event) {
  // Closing the window from its frame is "Close Screen": the screen is only hidden.
  CloseScreen();
  event->ignore();
}

}  // namespace velquor::ui
