// The rules behind the main window's condition boxes and function keys: the linked
// Timer Interval / Data Number / Sampling Time boxes, the F1 save-mode cycle, F2/F3 ladder.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "measure/condition.h"

namespace velquor {

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

// One step of the F1 cycle: the two save boxes' new states and the new SaveMode.
struct SaveModeStep {
  bool autoSave = false;
  bool manSave = false;
  int newMode = 0;
};
// Nothing for a SaveMode outside 0..3 (the boxes and the mode then stay as they are).
std::optional<SaveModeStep> NextSaveMode(int save_mode);

// The F3 and F2 steps along the preset ladder 5, 10, 20, 50, 100, 200, 300, 400, 500, 800,
// 1200, 1600, 2000, from DataNum; nothing when the key does nothing at that value.
std::optional<int> DataNumUp(float data_num);
std::optional<int> DataNumDown(float data_num);

}  // namespace velquor
