#include "measure/condition.h"

#include <cmath>

#include "common/number_parse.h"
#include "common/number_text.h"

namespace velquor {

void ReadCondition(MeasurementRecord& rec, std::string_view timer_interval_text,
                   std::string_view data_num_text, std::string_view samp_time_text) {
  rec.MeasTime = Val(samp_time_text);
  rec.SampInterval = Val(timer_interval_text);
  rec.DataNum = static_cast<float>(Val(data_num_text));
}

std::optional<ConditionProblem> CheckCondition(double samp_interval, double data_num,
                                               double meas_time) {
  if (!std::isfinite(data_num) || data_num != std::floor(data_num) || data_num < 2 ||
      data_num > kMaxSamples) {
    return ConditionProblem{ConditionField::kDataNumber,
                            "Data Number " + PlainForm(data_num) +
                                " cannot be measured: it must be a whole number from 2 to 2000"};
  }
  if (!std::isfinite(samp_interval) || RoundHalfEven(samp_interval) < 1 ||
      samp_interval > 2147483647.0) {
    return ConditionProblem{ConditionField::kTimerInterval,
                            "Timer Interval " + PlainForm(samp_interval) +
                                " msec cannot pace a measurement: it must be at least 1 msec"};
  }
  if (!std::isfinite(meas_time) || meas_time <= 0) {
    return ConditionProblem{
        ConditionField::kSamplingTime,
        "Sampling Time " + PlainForm(meas_time) + " sec cannot be used: it must be greater than 0"};
  }
  return std::nullopt;
}

std::optional<ConditionProblem> CheckCondition(const MeasurementRecord& rec) {
  return CheckCondition(rec.SampInterval, static_cast<double>(rec.DataNum), rec.MeasTime);
}

}  // namespace velquor
