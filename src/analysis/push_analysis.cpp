#include "analysis/push_analysis.h"

#include <cstddef>

#include "analysis/analysis_condition.h"
#include "analysis/push_detector.h"

namespace velquor {
namespace {

// One wheel's series of a measurement, the doubles of the stored singles.
class MeasurementWheel final : public PushSeries {
 public:
  MeasurementWheel(const DerivedSeries& s, int w) : s_(s), w_(w) {}
  double Torque(std::int64_t i) const override { return s_.Torque(w_, Index(i)); }
  double AngleDeg(std::int64_t i) const override { return s_.Angle_deg(w_, Index(i)); }
  double Speed(std::int64_t i) const override { return s_.Speed(w_, Index(i)); }
  double Power(std::int64_t i) const override { return s_.Power(w_, Index(i)); }

 private:
  // Beyond the record's slots stays beyond them, for the grid to refuse.
  static int Index(std::int64_t i) { return i < 0 || i > kSampleSlots ? -1 : static_cast<int>(i); }
  const DerivedSeries& s_;
  int w_;
};

}  // namespace

Result<PushAnalysis> AnalysePushes(const DerivedSeries& s, const MeasurementRecord& rec,
                                   const PushParameters& p) {
  if (Status st = CheckPushParameters(p); !st) return st.problem();
  if (Status st = CheckSamplesAndInterval(rec); !st) return st.problem();
  PushAnalysis out;
  out.parameters = p;
  out.dt = rec.SampInterval / 1000;
  out.samples = static_cast<int>(rec.DataNum);
  for (int w = 0; w < 2; ++w) {
    const MeasurementWheel wheel(s, w);
    WheelPushDetector detector(w, p, out.dt);
    for (std::int64_t i = 1; i <= out.samples; ++i) (void)detector.Take(wheel, wheel.Torque(i));
    (void)detector.End(wheel);
    out.wheels.at(static_cast<std::size_t>(w)) = detector.Analysis(wheel);
  }
  return out;
}

}  // namespace velquor
