// A small physical model of a person pushing a wheelchair on the rig: torque pulses about
// once a second with recoveries near zero, wheels that follow the torque, a slight turn.
#pragma once

#include <cstdint>
#include <vector>

namespace velquor {

struct RigSample {
  double torque[2] = {0, 0};  // Nm, left and right wheel
  double angle[2] = {0, 0};   // rad, forward positive on both wheels
};

// A push the model generates: a half sine from `start` to `end`, positions in sample
// indices (time / dt, so fractional), with the peak torque of each wheel (Nm, before noise).
struct RigPush {
  double start = 0, end = 0;
  double peak[2] = {0, 0};
};

class RigModel {
 public:
  // dt is the time one sample index stands for, in seconds.
  explicit RigModel(std::uint64_t seed, double dt = 0.02);

  // The state at sample index n (n >= 1); indices are visited forward only, a smaller one
  // restarts the model, so the same seed always gives the same sequence.
  RigSample At(std::int64_t n);

  // From the next index on, each stands for dt seconds; the world goes on where it is.
  void SetDt(double dt);

  // The pushes that start at or before sample index n, in time order.
  std::vector<RigPush> PushesUpTo(std::int64_t n) const;

  // A deterministic value in [-1, 1] for (seed, index, stream).
  static double Noise(std::uint64_t seed, std::int64_t index, int stream);

 private:
  void Reset();
  void Step();
  double PushTorque(double t, int wheel) const;
  void NextCycle();
  // Cycle length, push length, peak and right/left skew of cycle c.
  struct Shape {
    double cycle_length, push_length, peak, skew;
  };
  static Shape CycleShape(std::uint64_t seed, std::int64_t c);

  std::uint64_t seed_;
  double dt_;
  std::int64_t n_ = 0;
  // Time is t_base_ + (n - n_base_) * dt_, so a run at one dt gives the same times as ever.
  std::int64_t n_base_ = 0;
  double t_base_ = 0;
  RigSample state_;
  double speed_[2] = {0, 0};
  // The push cycle now under way.
  std::int64_t cycle_ = 0;
  double cycle_start_ = 0, cycle_length_ = 1, push_length_ = 0.4, peak_ = 25, skew_ = 1.05;
};

}  // namespace velquor
