#include "measure/ui/loop_host.h"

#include <QCoreApplication>
#include <chrono>
#include <utility>

namespace velquor::ui {

WindowLoopHost::WindowLoopHost(Hooks hooks) : hooks_(std::move(hooks)) {}

void WindowLoopHost::ProcessEvents() {
  // Every handler of the program (Stop, menus, the other screens' timers) runs here and
  // only here while a measurement runs, so none of them ever splits a sample.
  QCoreApplication::processEvents(QEventLoop::AllEvents);
}

std::uint32_t WindowLoopHost::ClockMs() {
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                      std::chrono::steady_clock::now().time_since_epoch())
                      .count();
  // The pacing timer works on a wrapping 32-bit count, as the millisecond clock of old; the
  // count keeps the steady clock's own millisecond boundaries.
  return static_cast<std::uint32_t>(static_cast<std::uint64_t>(ms));
}

void WindowLoopHost::SetTimerLamp(Rgb colour) {
  if (hooks_.timerLamp) hooks_.timerLamp(colour);
}

void WindowLoopHost::SetStartStop(bool start_enabled, bool stop_enabled) {
  if (hooks_.startStop) hooks_.startStop(start_enabled, stop_enabled);
}

void WindowLoopHost::AfterCycle() {
  if (hooks_.afterCycle) hooks_.afterCycle();
}

}  // namespace velquor::ui
