#include "measure/main_window_rules.h"

#include <array>
#include <cmath>

#include "common/number_parse.h"
#include "common/number_text.h"

namespace velquor {
namespace {

constexpr std::array<int, 13> kLadder = {5,   10,  20,  50,   100,  200, 300,
                                         400, 500, 800, 1200, 1600, 2000};

// A text that gives no number at all (Val reads 0 and the text is not "0" written some way).
bool HasNoNumber(std::string_view text) {
  return Val(text) == 0.0 && !ParseComplete(text);
}

std::string Quoted(std::string_view text) {
  return "\"" + std::string(text) + "\"";
}

}  // namespace

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

std::optional<SaveModeStep> NextSaveMode(int save_mode) {
  switch (save_mode) {
    case 0:
      return SaveModeStep{false, true, 1};
    case 1:
      return SaveModeStep{true, false, 2};
    case 2:
      return SaveModeStep{true, true, 3};
    case 3:
      return SaveModeStep{false, false, 0};
    default:
      return std::nullopt;
  }
}

std::optional<int> DataNumUp(float data_num) {
  if (!(data_num >= 5.0f)) return std::nullopt;
  if (data_num >= 1600.0f) return 2000;
  for (int v : kLadder) {
    if (static_cast<float>(v) > data_num) return v;
  }
  return std::nullopt;
}

std::optional<int> DataNumDown(float data_num) {
  if (!(data_num > 5.0f)) return std::nullopt;
  if (data_num > 1600.0f) return 1600;
  for (auto it = kLadder.rbegin(); it != kLadder.rend(); ++it) {
    if (static_cast<float>(*it) < data_num) return *it;
  }
  return std::nullopt;
}

}  // namespace velquor
