#include "analysis/trial_pushes.h"

#include <cstddef>
#include <string>

namespace velquor {

TrialPushes::TrialPushes(const TrialSeries& series, const PushParameters& p)
    : series_(&series),
      p_(p),
      wheels_{Wheel(series, 0), Wheel(series, 1)},
      detectors_{WheelPushDetector(0, p, series.Dt()), WheelPushDetector(1, p, series.Dt())} {}

Result<TrialPushes> TrialPushes::Start(const TrialSeries& series, const PushParameters& p) {
  if (Status st = CheckPushParameters(p); !st) return st.problem();
  if (!(series.Dt() > 0)) {
    return Problem{"", 0, 0,
                   "a trial at an interval of " + std::to_string(series.IntervalMs()) +
                       " ms cannot be analysed: it must be greater than 0"};
  }
  return TrialPushes(series, p);
}

const std::vector<Push>& TrialPushes::Pushes(int wheel) const {
  return detectors_.at(static_cast<std::size_t>(wheel)).Pushes();
}

void TrialPushes::Follow(const PushNewsSink& sink) {
  if (Ended()) return;
  const std::int64_t n = series_->Samples();
  for (std::size_t w = 0; w < 2; ++w) {
    WheelPushDetector& d = detectors_[w];
    const Wheel& wheel = wheels_[w];
    for (std::int64_t i = d.Samples() + 1; i <= n; ++i) {
      const PushNews news = d.Take(wheel, series_->Torque(static_cast<int>(w), i));
      if (news.final_push != 0 && sink) sink(static_cast<int>(w), news);
    }
  }
}

void TrialPushes::End(const PushNewsSink& sink) {
  Follow(sink);
  for (std::size_t w = 0; w < 2; ++w) {
    const PushNews news = detectors_[w].End(wheels_[w]);
    if (news.final_push != 0 && sink) sink(static_cast<int>(w), news);
  }
}

PushAnalysis TrialPushes::Analysis() const {
  PushAnalysis out;
  out.parameters = p_;
  if (!Ended()) out.parameters.skip_last = 0;  // the summary of the final pushes so far
  out.dt = series_->Dt();
  out.samples = Samples();
  for (std::size_t w = 0; w < 2; ++w) out.wheels[w] = detectors_[w].Analysis(wheels_[w]);
  return out;
}

Result<PushAnalysis> AnalyseTrial(const TrialSeries& series, const PushParameters& p) {
  Result<TrialPushes> r = TrialPushes::Start(series, p);
  if (!r) return r.problem();
  r.value().End();
  return r.value().Analysis();
}

}  // namespace velquor
