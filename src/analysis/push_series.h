// One wheel's series as the push analysis reads them, whatever holds them: the singles of one
// measurement or the doubles of a trial computed as its samples arrive.
#pragma once

#include <cstdint>
#include <vector>

namespace velquor {

// What a push's figures read of one sample.
struct PushSample {
  double torque, power, speed;
};

// Samples 1..n as doubles; speed and power are read from sample 2 on.
class PushSeries {
 public:
  virtual ~PushSeries() = default;
  virtual double Torque(std::int64_t i) const = 0;    // Nm
  virtual double AngleDeg(std::int64_t i) const = 0;  // deg
  virtual double Speed(std::int64_t i) const = 0;     // m/s
  virtual double Power(std::int64_t i) const = 0;     // W

  // Samples first..last (2 <= first) in order into `out`, replacing what it held: the same
  // values as the calls above, read in one pass.
  virtual void Read(std::int64_t first, std::int64_t last, std::vector<PushSample>& out) const {
    out.clear();
    for (std::int64_t i = first; i <= last; ++i) out.push_back({Torque(i), Power(i), Speed(i)});
  }
};

}  // namespace velquor
