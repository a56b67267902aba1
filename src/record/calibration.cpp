#include "record/calibration.h"

namespace velquor {

Calibration Calibration::DesignTime() {
  Calibration c;
  for (int ch = 0; ch < 2; ++ch) {
    for (int j = 0; j < kCalRows; ++j) {
      c.TqText.at(ch).at(j) = std::to_string(-30 + 5 * j);
    }
  }
  return c;
}

float CalibratedTorque(const Calibration& cal, bool shift, int ch, float volt) {
  double tq = cal.Ka1.at(static_cast<std::size_t>(ch)) * static_cast<double>(volt);
  if (!shift) tq += cal.Ka0.at(static_cast<std::size_t>(ch));
  return static_cast<float>(tq);
}

}  // namespace velquor
