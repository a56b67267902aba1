// Trials taken from the simulated rig for the trial tests and benchmarks: the volts and
// encoder counts the devices would give, sample by sample, at a chosen interval.
#pragma once

#include <array>
#include <cstdint>

#include "analysis/trial_series.h"
#include "daq/rig_model.h"
#include "daq/sim_rig.h"

namespace velquor::sim {

// The calibration that turns the simulated rig's volts back into its torque.
inline Calibration RigCalibration() {
  Calibration cal;
  cal.Ka1 = {SimRig::kNmPerVolt, SimRig::kNmPerVolt};
  cal.Ka0 = {0, 0};
  cal.loaded = true;
  return cal;
}

// The volts and counts of sample n (from 1) as the simulated devices read them.
struct RigTrial {
  RigModel model;
  std::uint64_t seed;
  RigTrial(std::uint64_t s, double interval_ms) : model(s, interval_ms / 1000), seed(s) {}

  void Sample(std::int64_t n, std::array<float, 2>& volt, std::array<std::uint16_t, 2>& enc) {
    const RigSample s = model.At(n);
    for (std::size_t w = 0; w < 2; ++w) {
      const double noise = 0.002 * RigModel::Noise(seed, n, 10 + static_cast<int>(w));
      volt[w] = static_cast<float>(s.torque[w] / SimRig::kNmPerVolt + noise);
      enc[w] = SimRig::EncoderCount(s.angle[w], w == 0);  // the left one counts backwards
    }
  }

  // Samples 1..n appended to `series`, as a run would take them.
  void AppendTo(TrialSeries& series, std::int64_t n) {
    std::array<float, 2> volt{};
    std::array<std::uint16_t, 2> enc{};
    for (std::int64_t i = 1; i <= n; ++i) {
      Sample(i, volt, enc);
      series.Append(volt, enc);
    }
  }
};

}  // namespace velquor::sim
