#include "daq/rig_model.h"

#include <cmath>

namespace velquor {
namespace {

constexpr double kPiFull = 3.14159265358979323846;
constexpr double kWheelRadius = 0.31;  // m
constexpr double kHalfMass = 45.0;     // kg carried by each wheel
constexpr double kDrag = 0.35;         // 1/s, rolling and air resistance
constexpr double kFirstPush = 0.3;     // s

std::uint64_t Mix(std::uint64_t x) {
  x += 0x9E3779B97F4A7C15ull;
  x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
  x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
  return x ^ (x >> 31);
}

}  // namespace

double RigModel::Noise(std::uint64_t seed, std::int64_t index, int stream) {
  std::uint64_t h =
      Mix(seed ^ Mix(static_cast<std::uint64_t>(index) * 4 + static_cast<std::uint64_t>(stream)));
  return static_cast<double>(h >> 11) / static_cast<double>(1ull << 52) - 1.0;
}

RigModel::RigModel(std::uint64_t seed, double dt) : seed_(seed), dt_(dt) {
  Reset();
}

void RigModel::SetDt(double dt) {
  if (dt == dt_) return;
  t_base_ += static_cast<double>(n_ - n_base_) * dt_;
  n_base_ = n_;
  dt_ = dt;
}

void RigModel::Reset() {
  n_ = 0;
  n_base_ = 0;
  t_base_ = 0;
  state_ = RigSample{};
  speed_[0] = speed_[1] = 0;
  cycle_ = -1;
  cycle_start_ = kFirstPush;
  cycle_length_ = 0;
  NextCycle();
  cycle_start_ = kFirstPush;
}

RigModel::Shape RigModel::CycleShape(std::uint64_t seed, std::int64_t c) {
  return {1.0 + 0.1 * Noise(seed, c, 90), 0.4 + 0.05 * Noise(seed, c, 91),
          25.0 + 15.0 * Noise(seed, c, 92), 1.05 + 0.02 * Noise(seed, c, 93)};
}

void RigModel::NextCycle() {
  cycle_start_ += cycle_length_;
  ++cycle_;
  const Shape shape = CycleShape(seed_, cycle_);
  cycle_length_ = shape.cycle_length;
  push_length_ = shape.push_length;
  peak_ = shape.peak;
  skew_ = shape.skew;
}

std::vector<RigPush> RigModel::PushesUpTo(std::int64_t n) const {
  std::vector<RigPush> out;
  double start = kFirstPush;  // the cycles follow each other as NextCycle strings them
  // Times and sample indices convert on the interval in force since the last SetDt.
  auto index = [this](double t) { return static_cast<double>(n_base_) + (t - t_base_) / dt_; };
  const double until = t_base_ + static_cast<double>(n - n_base_) * dt_;
  for (std::int64_t c = 0; start <= until; ++c) {
    const Shape shape = CycleShape(seed_, c);
    RigPush push;
    push.start = index(start);
    push.end = index(start + shape.push_length);
    push.peak[0] = shape.peak;
    push.peak[1] = shape.peak * shape.skew;
    out.push_back(push);
    start += shape.cycle_length;
  }
  return out;
}

double RigModel::PushTorque(double t, int wheel) const {
  double into = t - cycle_start_;
  double base = 0.0;
  if (into >= 0 && into < push_length_) base = peak_ * std::sin(kPiFull * into / push_length_);
  if (wheel == 1) base *= skew_;
  // Recovery: the hands brush the rims lightly.
  if (base == 0.0) base = -0.3;
  return base + 0.15 * Noise(seed_, n_, wheel);
}

void RigModel::Step() {
  ++n_;
  const double t = t_base_ + static_cast<double>(n_ - n_base_) * dt_;
  while (t >= cycle_start_ + cycle_length_) NextCycle();
  for (int w = 0; w < 2; ++w) {
    double torque = PushTorque(t, w);
    double accel = torque / (kWheelRadius * kHalfMass) - kDrag * speed_[w];
    speed_[w] += accel * dt_;
    state_.angle[w] += speed_[w] / kWheelRadius * dt_;
    state_.torque[w] = torque;
  }
}

RigSample RigModel::At(std::int64_t n) {
  if (n < n_) Reset();
  while (n_ < n) Step();
  return state_;
}

}  // namespace velquor
