// What the feedback screen shows, push by push: for each wheel and chosen variable the last
// push's value and whether it lies in its band, the last 20 pushes, and the left/right index.
#pragma once

#include <array>
#include <cstddef>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "analysis/feedback_schedule.h"
#include "analysis/feedback_targets.h"
#include "analysis/push_analysis.h"

namespace velquor {

// The variables chosen (at most four, in their order), their targets and the schedule.
struct FeedbackSettings {
  FeedbackSchedule schedule = FeedbackSchedule::kEveryPush;
  std::vector<Target> targets;  // one per chosen variable

  bool operator==(const FeedbackSettings&) const = default;
};

// Push frequency, contact angle, peak torque and rate of rise, every band open, no tone.
FeedbackSettings DefaultFeedbackSettings();

// Refuses more than four variables, a variable chosen twice, or one that is not a variable.
Status CheckFeedbackSettings(const FeedbackSettings& s);

inline constexpr std::size_t kFeedbackStrip = 20;

// One variable of one wheel as the screen draws it.
struct FeedbackCell {
  std::optional<double> value;              // the last push's value
  std::optional<bool> in_band;              // none when not judged (no value)
  std::deque<std::optional<double>> strip;  // the last 20 pushes', oldest first
  std::optional<double> symmetry;           // the left/right index of the last pair, percent
};

// What one push came to: shown or not, and whether each chosen variable was in band; kept
// for the files, so a study can analyse the feedback given.
struct FeedbackGiven {
  int wheel = 0;
  int push = 0;
  bool shown = false;
  std::vector<std::optional<bool>> in_band;  // per chosen variable
  bool tone = false;                         // a variable with a tone fell outside its band
};

class FeedbackModel {
 public:
  // Bands resolved against each wheel's baseline; a refused band is left open and its
  // problem kept to be said.
  FeedbackModel(FeedbackSettings settings, const std::array<Baseline, 2>& baselines);

  const FeedbackSettings& Settings() const { return settings_; }
  const std::vector<Problem>& Problems() const { return problems_; }
  const Band& BandOf(int wheel, std::size_t target) const;

  // Push k (0-based) of `pushes` of `wheel` has become final. The cells change only when the
  // schedule shows the push; the other pushes still count in every figure and file.
  FeedbackGiven Final(int wheel, const std::vector<Push>& pushes, std::size_t k);
  // Left push kl and right push kr (0-based) make a pair: each chosen variable's left/right
  // index, 100 * (R - L) / (0.5 * (R + L)).
  void Paired(const std::vector<Push>& left, std::size_t kl, const std::vector<Push>& right,
              std::size_t kr);

  const FeedbackCell& Cell(int wheel, std::size_t target) const;
  // Whether the last push was shown (under schedule "off" never: the screen says only
  // "measuring").
  bool Measuring() const { return settings_.schedule == FeedbackSchedule::kOff; }

 private:
  FeedbackSettings settings_;
  std::array<std::vector<Band>, 2> bands_;
  std::array<std::vector<FeedbackCell>, 2> cells_;
  std::array<FeedbackDecider, 2> deciders_;
  std::vector<Problem> problems_;
};

}  // namespace velquor
