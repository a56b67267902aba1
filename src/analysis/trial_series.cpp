#include "analysis/trial_series.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <limits>
#include <stdexcept>
#include <string>

#include "analysis/constants.h"

namespace velquor {
namespace {

constexpr std::int64_t kEncoderRange = 4096;  // counts 0..4095, then back to 0
constexpr std::int64_t kLargestStep = 500;    // a larger change per sample is a wrap

// Asks the kernel to map every page of a new block at once, rather than one page fault at a
// time as the samples reach it. Only a hint: where it is not supported the pages fault in as
// they are written, as they would anyway.
void MapAtOnce(void* start, std::size_t bytes) {
#ifdef MADV_POPULATE_WRITE
  const auto page = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
  const auto from = (reinterpret_cast<std::uintptr_t>(start) + page - 1) / page * page;
  const auto to = (reinterpret_cast<std::uintptr_t>(start) + bytes) / page * page;
  if (page > 0 && from < to) {
    (void)madvise(reinterpret_cast<void*>(from), to - from, MADV_POPULATE_WRITE);
  }
#else
  (void)start;
  (void)bytes;
#endif
}

[[noreturn]] void Refuse(int w, std::int64_t i, std::int64_t n) {
  throw std::out_of_range("trial sample " + std::to_string(i) + " of wheel " + std::to_string(w) +
                          " is outside 1.." + std::to_string(n));
}

}  // namespace

TrialSeries::TrialSeries(double interval_ms, const Calibration& cal, bool shift)
    : interval_ms_(interval_ms), dt_(interval_ms / 1000), cal_(cal), shift_(shift) {}

std::size_t TrialSeries::Wheel(int w) {
  if (w != 0 && w != 1) [[unlikely]]
    Refuse(w, 0, 0);
  return static_cast<std::size_t>(w);
}

const TrialSeries::Block& TrialSeries::BlockOf(int w, std::int64_t i) const {
  if (i < 1 || i > n_) [[unlikely]]
    Refuse(w, i, n_);
  return *blocks_[static_cast<std::size_t>((i - 1) / kBlockSamples)];
}

const TrialSeries::Stored& TrialSeries::At(int w, std::int64_t i) const {
  return BlockOf(w, i).samples[static_cast<std::size_t>((i - 1) % kBlockSamples)];
}

void TrialSeries::Append(std::array<float, 2> volt, std::array<std::uint16_t, 2> encoder) {
  const std::array<std::uint16_t, 2> before = n_ == 0 ? encoder : encoder_;
  for (std::size_t w = 0; w < 2; ++w) {
    std::int64_t d = static_cast<std::int64_t>(encoder[w]) - before[w];
    if (d < -kLargestStep) {
      d += kEncoderRange;
    } else if (d > kLargestStep) {
      d -= kEncoderRange;
    }
    // The left encoder counts backwards, so its step is negated.
    count_[w] = w == 0 ? count_[w] - d : count_[w] + d;
  }
  if (n_ % kBlockSamples == 0) {
    blocks_.push_back(std::make_unique_for_overwrite<Block>());
    MapAtOnce(blocks_.back().get(), sizeof(Block));
    blocks_.back()->base = count_;
  }
  Block& block = *blocks_.back();
  Stored& s = block.samples[static_cast<std::size_t>(n_ % kBlockSamples)];
  s.volt = volt;
  s.encoder = encoder;
  encoder_ = encoder;
  for (std::size_t w = 0; w < 2; ++w) {
    s.torque[w] = CalibratedTorque(cal_, shift_, static_cast<int>(w), volt[w]);
    s.count[w] = static_cast<std::int32_t>(count_[w] - block.base[w]);
  }
  ++n_;
}

std::int64_t TrialSeries::Count(int w, std::int64_t i) const {
  const Block& block = BlockOf(w, i);
  const std::size_t c = Wheel(w);
  return block.base[c] + block.samples[static_cast<std::size_t>((i - 1) % kBlockSamples)].count[c];
}

double TrialSeries::AngleRad(std::int64_t count) {
  const double deg = static_cast<double>(count) * kDegPerTurn / kCountsPerTurn;
  return deg * kPi5 / 180;
}

double TrialSeries::AngleDeg(int w, std::int64_t i) const {
  return static_cast<double>(Count(w, i)) * kDegPerTurn / kCountsPerTurn;
}

TrialSeries::Step TrialSeries::StepTo(int w, std::int64_t i) const {
  const std::int64_t now = Count(w, i);
  if (i == 1) return {std::numeric_limits<double>::quiet_NaN(), 1};
  return {AngleRad(now) - AngleRad(Count(w, i - 1)), i - 1};
}

double TrialSeries::Speed(int w, std::int64_t i) const {
  return static_cast<double>(kWheelRadius) * StepTo(w, i).turned / dt_;
}

double TrialSeries::Power(int w, std::int64_t i) const {
  const Step step = StepTo(w, i);
  return (Torque(w, step.before) + Torque(w, i)) * step.turned / 2 / dt_;
}

void TrialSeries::Read(int w, std::int64_t first, std::int64_t last,
                       std::vector<PushSample>& out) const {
  out.clear();
  if (first > last) return;
  if (first < 2) Refuse(w, first, n_);
  const std::size_t c = Wheel(w);
  // The previous sample's torque and angle carry over from step to step.
  double angle = AngleRad(Count(w, first - 1));
  float torque = At(w, first - 1).torque[c];
  for (std::int64_t i = first; i <= last; ++i) {
    const Block& block = BlockOf(w, i);
    const Stored& now = block.samples[static_cast<std::size_t>((i - 1) % kBlockSamples)];
    const double next_angle = AngleRad(block.base[c] + now.count[c]);
    const double turned = next_angle - angle;
    const float next_torque = now.torque[c];
    out.push_back({next_torque, (static_cast<double>(torque) + next_torque) * turned / 2 / dt_,
                   static_cast<double>(kWheelRadius) * turned / dt_});
    angle = next_angle;
    torque = next_torque;
  }
}

std::size_t TrialSeries::MemoryBytes() const {
  return blocks_.size() * sizeof(Block) + blocks_.capacity() * sizeof(blocks_[0]) + sizeof(*this);
}

}  // namespace velquor
