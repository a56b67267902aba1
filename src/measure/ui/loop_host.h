// The measurement loop's host in the desktop program: queued window events run once per
// pass, the clock is a steady millisecond clock, and the window supplies the rest.
#pragma once

#include <chrono>
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
  std::chrono::steady_clock::time_point epoch_ = std::chrono::steady_clock::now();
};

}  // namespace velquor::ui
