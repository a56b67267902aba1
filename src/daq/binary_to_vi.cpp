#include <cmath>

#include "daq/driver.h"

namespace velquor {

float BinaryToVI(float min_v, float max_v, int /*mode*/, int bits, std::uint16_t code) {
  const double steps = std::ldexp(1.0, bits);
  return static_cast<float>(static_cast<double>(min_v) + static_cast<double>(code) *
                                                             (static_cast<double>(max_v) - min_v) /
                                                             steps);
}

std::uint16_t VIToBinary(float min_v, float max_v, int bits, double volts) {
  const double steps = std::ldexp(1.0, bits);
  double code = std::round((volts - min_v) * steps / (static_cast<double>(max_v) - min_v));
  if (!(code >= 0)) code = 0;  // NaN too
  if (code > steps - 1) code = steps - 1;
  return static_cast<std::uint16_t>(code);
}

}  // namespace velquor
