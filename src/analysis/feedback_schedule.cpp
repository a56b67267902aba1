#include "analysis/feedback_schedule.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <utility>

namespace velquor {
namespace {

constexpr std::array<std::pair<FeedbackSchedule, std::string_view>, 4> kNames = {{
    {FeedbackSchedule::kEveryPush, "every"},
    {FeedbackSchedule::kFaded, "faded"},
    {FeedbackSchedule::kOutOfBand, "out-of-band"},
    {FeedbackSchedule::kOff, "off"},
}};

// A credit this close to a whole push counts as one, so that shares such as 1/3 added three
// times are not lost to rounding.
constexpr double kSlack = 1e-9;

}  // namespace

std::string_view ScheduleName(FeedbackSchedule s) {
  for (const auto& [schedule, name] : kNames) {
    if (schedule == s) return name;
  }
  return {};
}

std::optional<FeedbackSchedule> ScheduleByName(std::string_view name) {
  for (const auto& [schedule, n] : kNames) {
    if (n == name) return schedule;
  }
  return std::nullopt;
}

double FadedShare(double minutes) {
  if (!(minutes > 1)) return 1;
  if (minutes >= 5) return 0.25;
  return 1 - 0.75 * (minutes - 1) / 4;
}

bool FeedbackDecider::Show(double on_s, bool out_of_band) {
  switch (schedule_) {
    case FeedbackSchedule::kEveryPush:
      return true;
    case FeedbackSchedule::kOff:
      return false;
    case FeedbackSchedule::kOutOfBand:
      return out_of_band;
    case FeedbackSchedule::kFaded:
      credit_ += FadedShare(on_s / 60);
      if (credit_ + kSlack < 1) return false;
      credit_ = std::max(0.0, credit_ - 1);
      return true;
  }
  return false;
}

}  // namespace velquor
