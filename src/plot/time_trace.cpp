#include "plot/time_trace.h"

#include <cmath>

#include "common/grid.h"
#include "common/number_parse.h"

namespace velquor {

int LastSample(float DataNum) {
  if (!std::isfinite(DataNum)) return 0;
  const double n = RoundHalfEven(static_cast<double>(DataNum));
  return static_cast<int>(std::clamp(n, 0.0, static_cast<double>(kMaxSamples)));
}

float SampleTime(int i, double SampInterval) {
  return static_cast<float>(i * SampInterval / 1000);
}

}  // namespace velquor
