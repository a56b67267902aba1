// Feedback as a trial's pushes arrive one by one: each wheel's pushes kept in order, the
// schedule and bands applied to each new push, and a left push matched with a right one.
#pragma once

#include <array>
#include <optional>
#include <vector>

#include "analysis/feedback_model.h"
#include "analysis/push_analysis.h"

namespace velquor {

// What one push of the trial came to.
struct LiveFeedbackOutcome {
  FeedbackGiven given;
  // Set when this push completed a left/right pair: the other wheel's push number and the
  // index of each chosen variable, 100 * (R - L) / (0.5 * (R + L)).
  std::optional<int> partner;
  std::vector<std::optional<double>> symmetry;
};

class LiveFeedback {
 public:
  LiveFeedback(FeedbackSettings settings, const std::array<Baseline, 2>& baselines);

  // A push of `wheel` is final; its number is one past the last final push of that wheel.
  LiveFeedbackOutcome Final(int wheel, const Push& push);
  // A push already final now has its cycle figures (the next push is final).
  void CycleFigures(int wheel, const Push& push);

  const FeedbackModel& Model() const { return model_; }
  const std::vector<Push>& Pushes(int wheel) const {
    return pushes_.at(static_cast<std::size_t>(wheel));
  }
  // Every push's outcome in the order they came, for the trial's files.
  const std::vector<FeedbackGiven>& Given() const { return given_; }

 private:
  FeedbackModel model_;
  std::array<std::vector<Push>, 2> pushes_;
  std::array<std::vector<bool>, 2> paired_;
  std::vector<FeedbackGiven> given_;
};

}  // namespace velquor
