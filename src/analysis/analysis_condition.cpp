#include "analysis/analysis_condition.h"

#include <cmath>
#include <string>

#include "common/grid.h"
#include "common/number_text.h"

namespace velquor {
namespace {

Status Refuse(std::string what) {
  return Problem{"", 0, 0, std::move(what)};
}

}  // namespace

Status CheckSamplesAndInterval(const MeasurementRecord& rec) {
  const float n = rec.DataNum;
  if (!std::isfinite(n) || n != std::floor(n) || n < 2 || n > kMaxSamples) {
    return Refuse("Data Number " + PlainForm(n) +
                  " cannot be analysed: it must be a whole number from 2 to 2000");
  }
  // Speeds divide by the interval in seconds, so that quotient itself must not be 0.
  if (!std::isfinite(rec.SampInterval) || !(rec.SampInterval / 1000 > 0)) {
    return Refuse("Timer Interval " + PlainForm(rec.SampInterval) +
                  " msec cannot be analysed: it must be greater than 0");
  }
  return Status::Ok();
}

Status CheckAnalysisCondition(const MeasurementRecord& rec) {
  if (Status st = CheckSamplesAndInterval(rec); !st) return st;
  if (!std::isfinite(rec.MeasTime) || !(rec.MeasTime > 0)) {
    return Refuse("Sampling Time " + PlainForm(rec.MeasTime) +
                  " sec cannot be analysed: it must be greater than 0");
  }
  return Status::Ok();
}

}  // namespace velquor
