// The measuring condition: reading it from the three boxes of the main window, the rules that
// keep those boxes consistent, and the one check that says whether a record can be made under it.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "record/record.h"

namespace velquor {

// Stores Val of each text: sampling time -> MeasTime, interval -> SampInterval,
// data number -> DataNum (as a single).
void ReadCondition(MeasurementRecord& rec, std::string_view timer_interval_text,
                   std::string_view data_num_text, std::string_view samp_time_text);

enum class ConditionField { kTimerInterval, kDataNumber, kSamplingTime };

struct ConditionProblem {
  ConditionField field;
  std::string message;  // names the value, says what is wrong and what is allowed
};

// Nothing when a measurement can be taken and analysed under the condition; otherwise the
// first value that is wrong: Data Number not a whole number in 2..2000, Timer Interval below
// 1 ms (it would never pace a sample) or not finite, Sampling Time 0, negative or not finite.
std::optional<ConditionProblem> CheckCondition(const MeasurementRecord& rec);

// The same check for the values alone (used by the analysis and the file reader).
std::optional<ConditionProblem> CheckCondition(double samp_interval, double data_num,
                                               double meas_time);

// Rule of the interval and data-number boxes: Sampling Time = (interval / 1000) x data
// number, both read by the leading-number rule, in plain form. Nothing when the product is
// not a finite number (the box then keeps its text).
std::optional<std::string> SampTimeText(std::string_view timer_interval_text,
                                        std::string_view data_num_text);

// Rule of the sampling-time box: Data Number = (sampling time / interval) x 1000, the
// sampling time taken as a complete number. Nothing when that text is not a number, the
// interval is 0 or the result is not finite: the data-number box then keeps its text.
std::optional<std::string> DataNumText(std::string_view samp_time_text,
                                       std::string_view timer_interval_text);

// Whether a measurement can be started from the three texts as they stand; otherwise the
// box that is wrong and a message naming its text and what is allowed.
std::optional<ConditionProblem> EvaluateConditionTexts(std::string_view timer_interval_text,
                                                       std::string_view data_num_text,
                                                       std::string_view samp_time_text);

}  // namespace velquor
