#include "analysis/feedback_model.h"

#include <stdexcept>
#include <utility>

#include "analysis/push_pairs.h"

namespace velquor {

FeedbackSettings DefaultFeedbackSettings() {
  FeedbackSettings s;
  for (int v :
       {kPushFrequencyVariable, static_cast<int>(PushFigure::kContactAngle),
        static_cast<int>(PushFigure::kPeakTorque), static_cast<int>(PushFigure::kRateOfRise)}) {
    Target t;
    t.variable = v;
    s.targets.push_back(t);
  }
  return s;
}

Status CheckFeedbackSettings(const FeedbackSettings& s) {
  if (s.targets.size() > kMaxFeedbackVariables) {
    return Problem{"", 0, 0,
                   "at most " + std::to_string(kMaxFeedbackVariables) +
                       " variables can be fed back; " + std::to_string(s.targets.size()) +
                       " are chosen"};
  }
  for (std::size_t k = 0; k < s.targets.size(); ++k) {
    const int v = s.targets[k].variable;
    if (FeedbackVariableName(v).empty()) {
      return Problem{"", 0, 0, "no such feedback variable: " + std::to_string(v)};
    }
    for (std::size_t j = 0; j < k; ++j) {
      if (s.targets[j].variable == v) {
        return Problem{"", 0, 0,
                       std::string(FeedbackVariableName(v)) + " is chosen twice for feedback"};
      }
    }
  }
  return {};
}

FeedbackModel::FeedbackModel(FeedbackSettings settings, const std::array<Baseline, 2>& baselines)
    : settings_(std::move(settings)),
      deciders_{FeedbackDecider(settings_.schedule), FeedbackDecider(settings_.schedule)} {
  for (std::size_t w = 0; w < 2; ++w) {
    for (const Target& t : settings_.targets) {
      Result<Band> band = ResolveBand(t, baselines.at(w));
      if (!band) {
        Problem p = band.problem();
        p.what = (w == 0 ? "left wheel: " : "right wheel: ") + p.what;
        problems_.push_back(p);
      }
      bands_.at(w).push_back(band ? band.value() : Band{});
      cells_.at(w).emplace_back();
    }
  }
}

const Band& FeedbackModel::BandOf(int wheel, std::size_t target) const {
  return bands_.at(static_cast<std::size_t>(wheel)).at(target);
}

const FeedbackCell& FeedbackModel::Cell(int wheel, std::size_t target) const {
  return cells_.at(static_cast<std::size_t>(wheel)).at(target);
}

FeedbackGiven FeedbackModel::Final(int wheel, const std::vector<Push>& pushes, std::size_t k) {
  const auto w = static_cast<std::size_t>(wheel);
  if (w >= cells_.size() || k >= pushes.size()) {
    throw std::out_of_range("feedback for a push that is not there");
  }
  FeedbackGiven given;
  given.wheel = wheel;
  given.push = pushes[k].number;
  bool out = false;
  std::vector<std::optional<double>> values;
  for (std::size_t t = 0; t < settings_.targets.size(); ++t) {
    const std::optional<double> v = VariableValue(pushes, k, settings_.targets[t].variable);
    const std::optional<bool> in = InBand(bands_[w][t], v);
    values.push_back(v);
    given.in_band.push_back(in);
    if (in == false) {
      out = true;
      given.tone = given.tone || settings_.targets[t].tone;
    }
  }
  const double on = pushes[k].Figure(PushFigure::kOn).value_or(0);
  given.shown = deciders_[w].Show(on, out);
  if (!given.shown) {
    given.tone = false;
    return given;
  }
  for (std::size_t t = 0; t < values.size(); ++t) {
    FeedbackCell& cell = cells_[w][t];
    cell.value = values[t];
    cell.in_band = given.in_band[t];
    cell.strip.push_back(values[t]);
    if (cell.strip.size() > kFeedbackStrip) cell.strip.pop_front();
  }
  return given;
}

void FeedbackModel::Paired(const std::vector<Push>& left, std::size_t kl,
                           const std::vector<Push>& right, std::size_t kr) {
  for (std::size_t t = 0; t < settings_.targets.size(); ++t) {
    const int v = settings_.targets[t].variable;
    const std::optional<double> si =
        SymmetryIndex(VariableValue(left, kl, v), VariableValue(right, kr, v));
    cells_[0][t].symmetry = si;
    cells_[1][t].symmetry = si;
  }
}

}  // namespace velquor
