#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "analysis/kinematics.h"
#include "analysis/push_analysis.h"
#include "analysis/sim_trial.h"
#include "analysis/trial_pushes.h"

namespace velquor {
namespace {

constexpr int kCycleSamples = 2000;

bool Same(std::optional<double> a, std::optional<double> b) {
  if (a.has_value() != b.has_value()) return false;
  return !a || std::bit_cast<std::uint64_t>(*a) == std::bit_cast<std::uint64_t>(*b);
}

bool Same(const FigureSummary& a, const FigureSummary& b) {
  return Same(a.mean, b.mean) && Same(a.sd, b.sd) && Same(a.cv_pct, b.cv_pct);
}

std::int64_t MergeGap(double interval_ms) {
  return DurationSamples(PushParameters{}.merge_gap, interval_ms / 1000);
}

// A push as it was handed on: its own figures when final, the rest when the next was.
struct Heard {
  Push push;
  std::int64_t final_at = 0;
};

TEST(TrialPushes, LivePushesAreTheWholeTrialAnalysedAfterwards) {
  struct Run {
    double interval_ms;
    double seconds;
    int follow_every;  // samples between two calls of Follow, as a consumer would batch them
  };
  const std::vector<Run> runs = {{1, 90, 37}, {5, 240, 1}, {20, 600, 250}};
  for (const Run& run : runs) {
    SCOPED_TRACE(run.interval_ms);
    const auto samples =
        static_cast<std::int64_t>(std::llround(run.seconds * 1000 / run.interval_ms));
    TrialSeries series(run.interval_ms, sim::RigCalibration(), false);
    sim::RigTrial rig(7, run.interval_ms);
    Result<TrialPushes> started = TrialPushes::Start(series, PushParameters{});
    ASSERT_TRUE(started.ok());
    TrialPushes& live = started.value();
    std::array<std::vector<Heard>, 2> heard;
    const PushNewsSink sink = [&](int w, const PushNews& news) {
      auto& list = heard.at(static_cast<std::size_t>(w));
      const std::vector<Push>& pushes = live.Pushes(w);
      if (news.completed_push != 0) {
        Push& before = list.at(static_cast<std::size_t>(news.completed_push - 1)).push;
        before = pushes.at(static_cast<std::size_t>(news.completed_push - 1));
      }
      const Push& now = pushes.at(static_cast<std::size_t>(news.final_push - 1));
      ASSERT_EQ(now.number, static_cast<int>(list.size()) + 1);
      EXPECT_FALSE(now.Figure(PushFigure::kCycleTime).has_value());
      EXPECT_FALSE(now.Figure(PushFigure::kNegativeWork).has_value());
      EXPECT_TRUE(now.Figure(PushFigure::kPeakPower).has_value());
      // Handed on within the batch of samples that made it final.
      EXPECT_GE(news.sample, series.Samples() - run.follow_every + 1);
      list.push_back({now, news.sample});
    };
    std::array<float, 2> volt{};
    std::array<std::uint16_t, 2> enc{};
    for (std::int64_t i = 1; i <= samples; ++i) {
      rig.Sample(i, volt, enc);
      series.Append(volt, enc);
      if (i % run.follow_every == 0) live.Follow(sink);
    }
    live.End(sink);
    EXPECT_EQ(live.Samples(), samples);

    Result<PushAnalysis> after = AnalyseTrial(series, PushParameters{});
    ASSERT_TRUE(after.ok());
    const PushAnalysis whole = live.Analysis();
    const std::int64_t gap = MergeGap(run.interval_ms);
    for (std::size_t w = 0; w < 2; ++w) {
      SCOPED_TRACE(w);
      const WheelPushes& a = after.value().wheels[w];
      const auto& h = heard[w];
      ASSERT_EQ(h.size(), a.pushes.size());
      EXPECT_GT(a.pushes.size(), run.seconds * 0.8);  // about one push a second
      EXPECT_LE(a.summary.partial, 2);                // only at the trial's first and last sample
      int across = 0;
      for (std::size_t k = 0; k < h.size(); ++k) {
        const Push& got = h[k].push;
        const Push& want = a.pushes[k];
        ASSERT_EQ(got.first, want.first) << k;
        ASSERT_EQ(got.last, want.last) << k;
        for (int f = 0; f < kPushFigureCount; ++f) {
          EXPECT_TRUE(Same(got.figures.at(f), want.figures.at(f)))
              << "push " << k + 1 << " " << kPushFigureNames.at(f);
        }
        if (h[k].final_at <= samples - 1 || k + 1 < h.size()) {
          EXPECT_EQ(h[k].final_at - want.last, gap) << k;  // final as soon as the gap passed
        }
        if ((want.first - 1) / kCycleSamples != want.last / kCycleSamples) ++across;
      }
      EXPECT_GT(across, 0);  // pushes that cycles of 2000 samples would have cut in two
      // The summary and curve of the trial, bit for bit.
      const WheelPushes& b = whole.wheels[w];
      EXPECT_EQ(b.summary.steady, a.summary.steady);
      EXPECT_EQ(b.summary.rejected, a.summary.rejected);
      EXPECT_TRUE(Same(b.summary.push_frequency_per_min, a.summary.push_frequency_per_min));
      for (int f = 0; f < kPushFigureCount; ++f) {
        EXPECT_TRUE(Same(b.summary.figures.at(f), a.summary.figures.at(f))) << f;
      }
      ASSERT_TRUE(a.curve && b.curve && a.curve->sd && b.curve->sd);
      for (int k = 0; k < kCurvePoints; ++k) {
        EXPECT_TRUE(Same(b.curve->mean.at(k), a.curve->mean.at(k))) << k;
        EXPECT_TRUE(Same(b.curve->sd->at(k), a.curve->sd->at(k))) << k;
      }
    }
  }
}

TEST(TrialPushes, RunningSummaryLeavesNoPushOutAtTheEnd) {
  TrialSeries series(5, sim::RigCalibration(), false);
  sim::RigTrial rig(3, 5);
  PushParameters p;
  p.skip_last = 2;
  Result<TrialPushes> live = TrialPushes::Start(series, p);
  ASSERT_TRUE(live.ok());
  rig.AppendTo(series, 6000);
  live.value().Follow();
  const PushAnalysis running = live.value().Analysis();
  const int p_running = running.wheels[0].summary.pushes;
  ASSERT_GT(p_running, 5);
  EXPECT_EQ(running.wheels[0].summary.steady, p_running - 1);  // skip_first only
  EXPECT_EQ(running.parameters.skip_last, 0);
  live.value().End();
  const PushAnalysis ended = live.value().Analysis();
  EXPECT_EQ(ended.wheels[0].summary.steady, ended.wheels[0].summary.pushes - 3);
  EXPECT_EQ(ended.parameters.skip_last, 2);
}

TEST(TrialPushes, RefusesParametersLikeTheMeasurement) {
  TrialSeries series(5, sim::RigCalibration(), false);
  PushParameters p;
  p.merge_gap = -1;
  EXPECT_FALSE(TrialPushes::Start(series, p).ok());
  EXPECT_FALSE(TrialPushes::Start(TrialSeries(0, sim::RigCalibration(), false), {}).ok());
}

// One cycle's samples as a trial and as a measurement: the same pushes, and figures that
// differ only where the measurement's singles round (its angle, a single summed step by step
// up to some 100 rad, carries about 1e-5 rad, a step of 0.03 rad some 3e-4 of itself).
TEST(TrialPushes, OneCycleGivesTheMeasurementsFigures) {
  for (const double interval_ms : {5.0, 20.0}) {
    SCOPED_TRACE(interval_ms);
    auto rec = std::make_unique<MeasurementRecord>();
    auto series = std::make_unique<DerivedSeries>();
    rec->DataNum = kCycleSamples;
    rec->SampInterval = interval_ms;
    rec->MeasTime = interval_ms * kCycleSamples / 1000;
    const Calibration cal = sim::RigCalibration();
    TrialSeries trial(interval_ms, cal, false);
    sim::RigTrial rig(11, interval_ms);
    std::array<float, 2> volt{};
    std::array<std::uint16_t, 2> enc{};
    for (int i = 1; i <= kCycleSamples; ++i) {
      rig.Sample(i, volt, enc);
      trial.Append(volt, enc);
      for (int ch = 0; ch < 2; ++ch) {
        rec->Volt(ch, i) = volt.at(static_cast<std::size_t>(ch));
        rec->Encoder(ch, i) = enc.at(static_cast<std::size_t>(ch));
      }
    }
    KinematicsResults kin;
    ASSERT_TRUE(CalcKinematics(*rec, cal, false, *series, kin).ok());
    Result<PushAnalysis> m = AnalysePushes(*series, *rec, PushParameters{});
    Result<PushAnalysis> t = AnalyseTrial(trial, PushParameters{});
    ASSERT_TRUE(m.ok() && t.ok());
    for (int w = 0; w < 2; ++w) {
      for (int i : {2, 777, kCycleSamples}) {
        const double angle = trial.AngleDeg(w, i);  // exact; the single summed step by step
        EXPECT_NEAR(angle, series->Angle_deg(w, i), 2e-5 * (1 + std::fabs(angle))) << i;
        EXPECT_EQ(trial.Torque(w, i), series->Torque(w, i)) << i;
      }
      const WheelPushes& a = m.value().wheels.at(static_cast<std::size_t>(w));
      const WheelPushes& b = t.value().wheels.at(static_cast<std::size_t>(w));
      ASSERT_EQ(a.pushes.size(), b.pushes.size());
      ASSERT_GT(a.pushes.size(), 5u);
      for (std::size_t k = 0; k < a.pushes.size(); ++k) {
        EXPECT_EQ(a.pushes[k].first, b.pushes[k].first);
        EXPECT_EQ(a.pushes[k].last, b.pushes[k].last);
        for (int f = 0; f < kPushFigureCount; ++f) {
          const auto x = a.pushes[k].figures.at(f), y = b.pushes[k].figures.at(f);
          ASSERT_EQ(x.has_value(), y.has_value());
          if (x) {
            EXPECT_NEAR(*x, *y, 1e-3 * (1 + std::fabs(*x))) << kPushFigureNames.at(f);
          }
        }
      }
    }
  }
}

}  // namespace
}  // namespace velquor
