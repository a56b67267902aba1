// One wheel's series as the push analysis reads them, whatever holds them: the singles of one
// measurement or the doubles of a trial computed as its samples arrive.
#pragma once

#include <cstdint>

namespace velquor {

// Samples 1..n as doubles; speed and power are read from sample 2 on.
class PushSeries {
 public:
  virtual ~PushSeries() = default;
  virtual double Torque(std::int64_t i) const = 0;    // Nm
  virtual double AngleDeg(std::int64_t i) const = 0;  // deg
  virtual double Speed(std::int64_t i) const = 0;     // m/s
  virtual double Power(std::int64_t i) const = 0;     // W
};

}  // namespace velquor
