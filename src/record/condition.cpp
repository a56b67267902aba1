#include "record/condition.h"

#include <cmath>

#include "common/number_parse.h"
#include "common/number_text.h"

namespace velquor {
namespace {

// A text that gives no number at all (Val reads 0 and the text is not "0" written some way).
bool HasNoNumber(std::string_view text) {
  return Val(text) == 0.0 && !ParseComplete(text);
}

std::string Quoted(std::string_view text) {
  return "\"" + std::string(text) + "\"";
}

}  // namespace

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

std::optional<std::string> SampTimeText(std::string_view timer_interval_text,
                                        std::string_view data_num_text) {
  const double t = (Val(timer_interval_text) / 1000.0) * Val(data_num_text);
  if (!std::isfinite(t)) return std::nullopt;
  return PlainForm(t);
}

std::optional<std::string> DataNumText(std::string_view samp_time_text,
                                       std::string_view timer_interval_text) {
  const auto samp_time = ParseComplete(samp_time_text);
  const double interval = Val(timer_interval_text);
  if (!samp_time || interval == 0.0) return std::nullopt;
  const double n = (*samp_time / interval) * 1000.0;
  if (!std::isfinite(n)) return std::nullopt;
  return PlainForm(n);
}

std::optional<ConditionProblem> EvaluateConditionTexts(std::string_view timer_interval_text,
                                                       std::string_view data_num_text,
                                                       std::string_view samp_time_text) {
  if (HasNoNumber(data_num_text)) {
    return ConditionProblem{ConditionField::kDataNumber,
                            "Data Number " + Quoted(data_num_text) +
                                " is not a number: it must be a whole number from 2 to 2000"};
  }
  if (HasNoNumber(timer_interval_text)) {
    return ConditionProblem{ConditionField::kTimerInterval,
                            "Timer Interval " + Quoted(timer_interval_text) +
                                " is not a number: it must be at least 1 msec"};
  }
  const auto samp_time = ParseComplete(samp_time_text);
  if (!samp_time) {
    return ConditionProblem{ConditionField::kSamplingTime,
                            "Sampling Time " + Quoted(samp_time_text) +
                                " is not a number: it must be a time in seconds greater than 0"};
  }
  return CheckCondition(Val(timer_interval_text),
                        static_cast<double>(static_cast<float>(Val(data_num_text))), *samp_time);
}

}  // namespace velquor
