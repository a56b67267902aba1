// When a push is fed back to the person pushing: every push, a faded share that falls over the
// first minutes, only pushes out of their band, or never (a retention test).
#pragma once

#include <optional>
#include <string_view>

namespace velquor {

enum class FeedbackSchedule { kEveryPush, kFaded, kOutOfBand, kOff };

// "every", "faded", "out-of-band", "off": the names files and options write.
std::string_view ScheduleName(FeedbackSchedule s);
std::optional<FeedbackSchedule> ScheduleByName(std::string_view name);

// The share of pushes given feedback under the faded schedule at `minutes` into the trial:
// all of them in the first minute, then falling evenly to one in four at minute 5 and after.
double FadedShare(double minutes);

// Decides push by push for one wheel. Under the faded schedule the pushes shown are spread
// evenly: each push adds the share of its time to a credit, and a push is shown when the credit
// reaches a whole push. Every push is counted in the figures and files whatever is decided.
class FeedbackDecider {
 public:
  explicit FeedbackDecider(FeedbackSchedule s) : schedule_(s) {}

  // `on_s` is the push's onset in the trial, `out_of_band` whether any chosen variable lies
  // outside its band.
  bool Show(double on_s, bool out_of_band);

 private:
  FeedbackSchedule schedule_;
  double credit_ = 0;
};

}  // namespace velquor
