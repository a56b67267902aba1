// The pushes of both wheels of a trial found as its samples arrive, each handed on the moment
// it is final, and the whole trial analysed afterwards by the same detector.
#pragma once

#include <array>
#include <cstdint>
#include <functional>

#include "analysis/push_analysis.h"
#include "analysis/push_detector.h"
#include "analysis/trial_series.h"
#include "common/result.h"

namespace velquor {

// Hears what one sample (or the end) settled on one wheel.
using PushNewsSink = std::function<void(int wheel, const PushNews& news)>;

// Runs on the thread that appends to the series (never the acquisition thread), after each
// batch of samples: Follow takes the samples the series gained since the last call.
class TrialPushes {
 public:
  // Refused parameters give the problem and no detector.
  static Result<TrialPushes> Start(const TrialSeries& series, const PushParameters& p);

  // Takes every sample the series holds and the detectors have not taken yet.
  void Follow(const PushNewsSink& sink = {});

  // The trial has ended: takes what is left and settles every run not yet final.
  void End(const PushNewsSink& sink = {});

  bool Ended() const { return detectors_[0].Ended(); }
  std::int64_t Samples() const { return detectors_[0].Samples(); }
  const std::vector<Push>& Pushes(int wheel) const;

  // The final pushes so far with their summary (no push left out at the end until the trial
  // ends) and mean curve; after End, exactly the whole trial's analysis.
  PushAnalysis Analysis() const;

 private:
  class Wheel final : public PushSeries {
   public:
    Wheel(const TrialSeries& s, int w) : s_(&s), w_(w) {}
    double Torque(std::int64_t i) const override { return s_->Torque(w_, i); }
    double AngleDeg(std::int64_t i) const override { return s_->AngleDeg(w_, i); }
    double Speed(std::int64_t i) const override { return s_->Speed(w_, i); }
    double Power(std::int64_t i) const override { return s_->Power(w_, i); }
    void Read(std::int64_t first, std::int64_t last, std::vector<PushSample>& out) const override {
      s_->Read(w_, first, last, out);
    }

   private:
    const TrialSeries* s_;
    int w_;
  };

  TrialPushes(const TrialSeries& series, const PushParameters& p);

  const TrialSeries* series_;
  PushParameters p_;
  std::array<Wheel, 2> wheels_;
  std::array<WheelPushDetector, 2> detectors_;
};

// The whole trial analysed afterwards: every sample taken, then the end.
Result<PushAnalysis> AnalyseTrial(const TrialSeries& series, const PushParameters& p);

}  // namespace velquor
