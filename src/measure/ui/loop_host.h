// The measurement loop's host in the desktop program: queued window events run once per
// pass, the clock is the steady clock in whole milliseconds, and the window does the rest.
#pragma once

#include <cstdint>
#include <functional>

#include "measure/main_loop.h"

namespace velquor::ui {

class WindowLoopHost : public LoopHost {
 public:
  struct Hooks {
    std::function<void(Rgb)> timerLamp;
    std::function<void(bool, bool)> startStop;
    std::function<void()> afterCycle;
  };
  explicit WindowLoopHost(Hooks hooks);

  void ProcessEvents() override;
  std::uint32_t ClockMs() override;
  void SetTimerLamp(Rgb colour) override;
  void SetStartStop(bool start_enabled, bool stop_enabled) override;
  void AfterCycle() override;

 private:
  Hooks hooks_;
};

}  // namespace velquor::ui
