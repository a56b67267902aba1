#include "calibration/calibration.h"

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

}  // namespace velquor
