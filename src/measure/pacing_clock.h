// The clock the acquisition thread paces its samples on: a monotonic nanosecond count, a
// sleep until a given moment, and the thread's scheduling priority. Tests pass a fake one.
#pragma once

#include <cstdint>
#include <string>

namespace velquor {

class PacingClock {
 public:
  virtual ~PacingClock() = default;
  // Nanoseconds on a monotonic clock; only differences matter.
  virtual std::int64_t NowNs() = 0;
  // Returns at `when_ns` or a little after; at once when it has passed.
  virtual void SleepUntilNs(std::int64_t when_ns) = 0;
  // Asks real-time priority for the calling thread: empty when granted, else the reason.
  virtual std::string RaisePriority() { return "this clock has no priorities"; }
  // Back to the normal priority of the calling thread.
  virtual void LowerPriority() {}
};

// The system's monotonic clock; the priority asked is the lowest real-time one, which is
// enough to be served before every normal program without keeping anything else from running.
class SystemPacingClock : public PacingClock {
 public:
  std::int64_t NowNs() override;
  void SleepUntilNs(std::int64_t when_ns) override;
  std::string RaisePriority() override;
  void LowerPriority() override;
};

}  // namespace velquor
