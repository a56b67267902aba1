#include "analysis/live_feedback.h"

#include <cmath>
#include <cstddef>
#include <utility>

#include "analysis/push_pairs.h"

namespace velquor {

LiveFeedback::LiveFeedback(FeedbackSettings settings, const std::array<Baseline, 2>& baselines)
    : model_(std::move(settings), baselines) {}

void LiveFeedback::CycleFigures(int wheel, const Push& push) {
  std::vector<Push>& list = pushes_.at(static_cast<std::size_t>(wheel));
  if (push.number >= 1 && static_cast<std::size_t>(push.number) <= list.size()) {
    list[static_cast<std::size_t>(push.number - 1)] = push;
  }
}

LiveFeedbackOutcome LiveFeedback::Final(int wheel, const Push& push) {
  const auto w = static_cast<std::size_t>(wheel);
  std::vector<Push>& list = pushes_.at(w);
  list.push_back(push);
  paired_.at(w).push_back(false);
  const std::size_t k = list.size() - 1;
  LiveFeedbackOutcome out;
  out.given = model_.Final(wheel, list, k);
  given_.push_back(out.given);

  // The other wheel's latest unpaired push nearest in onset, within half the left push's
  // cycle (or half a second), as the whole trial's pairs are made.
  const std::size_t other = 1 - w;
  const std::vector<Push>& others = pushes_.at(other);
  const std::optional<double> on = push.Figure(PushFigure::kOn);
  if (!on) return out;
  std::optional<std::size_t> best;
  double best_distance = 0;
  for (std::size_t q = others.size(); q-- > 0;) {
    if (paired_[other][q]) continue;
    const std::optional<double> their_on = others[q].Figure(PushFigure::kOn);
    if (!their_on) continue;
    const Push& left = w == 0 ? push : others[q];
    const double reach = 0.5 * left.Figure(PushFigure::kCycleTime).value_or(1.0);
    const double distance = std::fabs(*their_on - *on);
    if (distance < reach && (!best || distance <= best_distance)) {
      best = q;
      best_distance = distance;
    }
  }
  if (!best) return out;
  paired_[other][*best] = true;
  paired_[w][k] = true;
  const std::size_t kl = w == 0 ? k : *best;
  const std::size_t kr = w == 0 ? *best : k;
  model_.Paired(pushes_[0], kl, pushes_[1], kr);
  out.partner = others[*best].number;
  for (const Target& t : model_.Settings().targets) {
    out.symmetry.push_back(SymmetryIndex(VariableValue(pushes_[0], kl, t.variable),
                                         VariableValue(pushes_[1], kr, t.variable)));
  }
  return out;
}

}  // namespace velquor
