#include "measure/pacing_clock.h"

#include <cerrno>
#include <cstring>
#include <ctime>

#if defined(__linux__)
#include <pthread.h>
#include <sched.h>
#include <sys/prctl.h>
#endif

namespace velquor {
namespace {

constexpr std::int64_t kNsPerS = 1000000000;

}  // namespace

std::int64_t SystemPacingClock::NowNs() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<std::int64_t>(ts.tv_sec) * kNsPerS + ts.tv_nsec;
}

void SystemPacingClock::SleepUntilNs(std::int64_t when_ns) {
  timespec ts{};
  ts.tv_sec = static_cast<time_t>(when_ns / kNsPerS);
  ts.tv_nsec = static_cast<long>(when_ns % kNsPerS);
  // A signal cuts the sleep short; the caller looks at the clock again anyway.
  clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &ts, nullptr);
}

std::string SystemPacingClock::RaisePriority() {
#if defined(__linux__)
  // A normal thread's sleeps may end up to 50 us late by default: ask for exact wake-ups.
  prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
  sched_param param{};
  param.sched_priority = sched_get_priority_min(SCHED_FIFO);
  const int err = pthread_setschedparam(pthread_self(), SCHED_FIFO, &param);
  if (err == 0) return {};
  return std::strerror(err);
#else
  return "not available on this system";
#endif
}

void SystemPacingClock::LowerPriority() {
#if defined(__linux__)
  sched_param param{};
  param.sched_priority = 0;
  pthread_setschedparam(pthread_self(), SCHED_OTHER, &param);
#endif
}

}  // namespace velquor
