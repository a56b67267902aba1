// The series of a trial kept as its samples arrive: the raw volts and encoder counts with the
// torque and the wheels' counts, and angle, speed and power computed from them when read.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "analysis/push_series.h"
#include "record/calibration.h"

namespace velquor {

// Samples numbered 1..Samples() without bound, t(i) = i * dt. Torque is the measurement's
// formula with the calibration and shift given at the start; the left encoder counts
// backwards, so its steps are negated. One thread appends and reads; appending moves no
// sample already kept (the store grows by blocks).
class TrialSeries {
 public:
  TrialSeries(double interval_ms, const Calibration& cal, bool shift);

  // Keeps the next sample: the volts of channels 0..1 and the 12-bit counts of encoders 0..1.
  void Append(std::array<float, 2> volt, std::array<std::uint16_t, 2> encoder);

  std::int64_t Samples() const { return n_; }
  double IntervalMs() const { return interval_ms_; }
  double Dt() const { return dt_; }  // s

  // Sample i of wheel w (0 = left, 1 = right); an index outside 1..Samples() or a wheel
  // other than 0 and 1 throws std::out_of_range. Speed and power are NaN at sample 1.
  float Volt(int w, std::int64_t i) const { return At(w, i).volt[Wheel(w)]; }
  std::uint16_t Encoder(int w, std::int64_t i) const { return At(w, i).encoder[Wheel(w)]; }
  double Torque(int w, std::int64_t i) const { return At(w, i).torque[Wheel(w)]; }
  std::int64_t Count(int w, std::int64_t i) const;
  double AngleDeg(int w, std::int64_t i) const;
  double Speed(int w, std::int64_t i) const;
  double Power(int w, std::int64_t i) const;

  // Torque, power and speed of samples first..last of wheel w (2 <= first <= last + 1,
  // last <= Samples()) in order into `out`: the values of the calls above, in one pass.
  void Read(int w, std::int64_t first, std::int64_t last, std::vector<PushSample>& out) const;

  // Bytes the samples hold in memory, with the block not yet full.
  std::size_t MemoryBytes() const;

 private:
  // 28 bytes a sample: the raw values, the torque and the count from the block's first
  // sample, which 4096 steps of at most 3595 counts keep within +-2^24.
  struct Stored {
    std::array<float, 2> volt;
    std::array<float, 2> torque;
    std::array<std::int32_t, 2> count;  // C(w, i) - C(w, the block's first sample)
    std::array<std::uint16_t, 2> encoder;
  };
  static constexpr std::int64_t kBlockSamples = 4096;
  struct Block {
    std::array<std::int64_t, 2> base;  // C(w, the block's first sample)
    std::array<Stored, kBlockSamples> samples;
  };

  // The turn from sample i - 1 to i in radians, NaN at sample 1.
  struct Step {
    double turned;
    std::int64_t before;  // sample i - 1
  };
  Step StepTo(int w, std::int64_t i) const;
  static std::size_t Wheel(int w);
  const Block& BlockOf(int w, std::int64_t i) const;
  const Stored& At(int w, std::int64_t i) const;
  static double AngleRad(std::int64_t count);

  double interval_ms_;
  double dt_;
  Calibration cal_;
  bool shift_;
  std::int64_t n_ = 0;
  std::array<std::int64_t, 2> count_{};     // C(w, n)
  std::array<std::uint16_t, 2> encoder_{};  // the counts of sample n
  std::vector<std::unique_ptr<Block>> blocks_;
};

}  // namespace velquor
